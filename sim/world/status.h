// Status values of the simulated drivers and their Russian texts.
// Generic instrument-driver errors use the VXIplug&play values; the drivers' own errors and
// warnings sit in the instrument-specific range 0xBFFC0800 / 0x3FFC0800.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "visatype.h"

namespace qm7x::sim {

// VISA statuses the shared header does not list.
inline constexpr ViStatus kErrorUserBuf = static_cast<ViStatus>(0xBFFF0071);
inline constexpr ViStatus kErrorSessionNotLocked = static_cast<ViStatus>(0xBFFF009C);
inline constexpr ViStatus kWarnNullObject = static_cast<ViStatus>(0x3FFF0082);
inline constexpr ViStatus kSuccessNestedExclusive = static_cast<ViStatus>(0x3FFF009A);

inline constexpr ViStatus kErrorParameter1 = static_cast<ViStatus>(0xBFFC0001);
inline constexpr ViStatus kErrorParameter2 = static_cast<ViStatus>(0xBFFC0002);
inline constexpr ViStatus kErrorParameter3 = static_cast<ViStatus>(0xBFFC0003);
inline constexpr ViStatus kErrorParameter4 = static_cast<ViStatus>(0xBFFC0004);
inline constexpr ViStatus kErrorParameter5 = static_cast<ViStatus>(0xBFFC0005);
inline constexpr ViStatus kErrorParameter6 = static_cast<ViStatus>(0xBFFC0006);
inline constexpr ViStatus kErrorParameter7 = static_cast<ViStatus>(0xBFFC0007);
inline constexpr ViStatus kErrorFailIdQuery = static_cast<ViStatus>(0xBFFC0011);

inline constexpr ViStatus kErrorBench = static_cast<ViStatus>(0xBFFC0801);
inline constexpr ViStatus kErrorNotConnected = static_cast<ViStatus>(0xBFFC0802);
inline constexpr ViStatus kErrorNoQm7x = static_cast<ViStatus>(0xBFFC0803);
inline constexpr ViStatus kErrorCarrierMismatch = static_cast<ViStatus>(0xBFFC0804);
inline constexpr ViStatus kErrorBusy = static_cast<ViStatus>(0xBFFC0805);
inline constexpr ViStatus kErrorNoData = static_cast<ViStatus>(0xBFFC0806);
inline constexpr ViStatus kErrorBlockTooLong = static_cast<ViStatus>(0xBFFC0807);
inline constexpr ViStatus kErrorEepromRead = static_cast<ViStatus>(0xBFFC0808);
inline constexpr ViStatus kErrorEepromWrite = static_cast<ViStatus>(0xBFFC0809);
inline constexpr ViStatus kErrorCalibration = static_cast<ViStatus>(0xBFFC080A);
inline constexpr ViStatus kErrorPositionInUse = static_cast<ViStatus>(0xBFFC080B);
inline constexpr ViStatus kErrorNotCarrier = static_cast<ViStatus>(0xBFFC080C);
inline constexpr ViStatus kWarnEepromBlank = static_cast<ViStatus>(0x3FFC0801);

// The Russian (UTF-8) text of a status, or nothing for a status the drivers do not know.
std::optional<std::string> StatusText(ViStatus status);

// A status given by name in a bench file ("VI_ERROR_TMO", "TRQM7X_ERROR_EEPROM_WRITE"), if known.
std::optional<ViStatus> StatusByName(std::string_view name);

}  // namespace qm7x::sim
