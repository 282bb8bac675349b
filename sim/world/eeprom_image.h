// The EEPROM of a QM7X as a file in the bench's state directory: a small YAML document whose
// record_hex is the 112-byte record byte for byte; the decoded fields beside it are for the reader
// and are ignored on load. Written atomically (temporary file, then rename); the readable copy is
// written in the same form whatever the locale.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "coeff_record.h"

namespace qm7x::sim {

class EepromError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The stored record, or nothing when the image file does not exist yet. Throws EepromError.
std::optional<CoeffRecord> ReadEepromImage(const std::filesystem::path& file);

// The record of an image's text; `file` names it in errors. Throws EepromError.
CoeffRecord ParseEepromImage(const std::string& text, const std::filesystem::path& file);

// Replaces the image file atomically, through a temporary file beside it that every failure
// removes. Throws EepromError.
void WriteEepromImage(const std::filesystem::path& file, const CoeffRecord& record,
                      const std::string& serial);

// Removes the temporary files of the image left by a program that was killed while it wrote.
void RemoveStaleTemporaries(const std::filesystem::path& file);

}  // namespace qm7x::sim
