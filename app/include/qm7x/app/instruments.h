// Discovered instruments: the records the VISA search fills and the operator's choice.
#pragma once

#include <array>
#include <cstdint>

#include "visatype.h"

namespace qm7x::app {

// One discovered carrier: a TRHOLDR module in a VXI crate or a Vektrum box (LXI or USB).
struct InstrRecord {
    char rsrcName[128];       // VISA resource name, as the search returned it
    char descr[128];          // list text; may contain one line break
    std::uint16_t modelCode;  // VXI model code (low 12 bits) or 0x1004 for a Vektrum box; 0 = empty
    ViSession session;        // carrier session opened on this instrument; 0 when discovered
    std::uint16_t mainframeLA;  // VXI logical address of the crate
    std::uint16_t logicalAddr;  // VXI logical address of the module
    std::uint16_t slot;         // VXI slot 1..12, or 255 for a Vektrum box
    std::uint16_t intfType;     // VISA interface type
    char serial[32];            // serial number from the identification reply (Vektrum only)
    char firmware[34];          // firmware field of the identification reply, or "n/a"
};

inline constexpr int kMaxInstruments = 256;
inline constexpr std::uint16_t kModelVektrum = 0x1004;
inline constexpr std::uint16_t kSlotVektrum = 255;

inline std::array<InstrRecord, kMaxInstruments> Instruments{};
inline InstrRecord* CurrentInstr = nullptr;

// Searches VISA for carriers; returns the number kept in Instruments, or a negative VISA status.
int FindVISAinstruments();
// Shows the selection dialog with the given title; returns the chosen record, or nullptr.
InstrRecord* SelectInstrument(const char* title);

}  // namespace qm7x::app
