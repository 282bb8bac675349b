// How reading a file for the CRC operations ended.
#pragma once

namespace qm7x::integrity {

enum class ReadStatus { Ok, Missing, CannotOpen, Empty, ReadError, NoMemory };

}  // namespace qm7x::integrity
