// VISA resource search expressions ("?*INSTR", "VXI?*INSTR", "(GPIB|VXI)?*INSTR", ...).
#pragma once

#include <optional>
#include <regex>
#include <string_view>

namespace qm7x::sim {

// The regular expression that a VISA search expression stands for, matched against whole
// resource names without regard to case; nothing when the expression is not valid.
std::optional<std::regex> CompileVisaExpression(std::string_view expression);

}  // namespace qm7x::sim
