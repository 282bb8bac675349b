#include "qm7x/verify/chklog.h"

#include <array>
#include <cstdint>
#include <utility>
#include <variant>

#include "p_qm7x.h"
#include "qm7x/os/record_file.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/point_plot.h"
#include "qm7x/verify/protocol_file.h"
#include "qm7x/verify/protocol_text.h"

namespace qm7x::verify {
namespace {

struct Slot {
    int panel = 0;  // 0: the slot is closed
    std::optional<os::RecordFile> file;
    bool writeFailureShown = false;
    // Where the point entry being written began: a failure part way cuts the file back to it.
    std::optional<std::int64_t> entryStart;
};

std::array<Slot, kLogSlots> slots;
os::LocalTime lastStamp;

Slot* openSlot(int logIndex) {
    if (logIndex < 0 || logIndex >= kLogSlots || slots[logIndex].panel == 0) {
        return nullptr;
    }
    return &slots[logIndex];
}

// The file is given up after its first failure, so that it never holds an entry with a piece
// missing from its middle; the text box goes on receiving everything.
// A message that failed has been cut back already; a point entry is cut back to its start.
void fileFailed(Slot& slot, os::FileError error) {
    if (slot.file && slot.entryStart) {
        if (auto cut = slot.file->CutBack(*slot.entryStart)) {
            error.reason += "; " + cut->operation + ": " + cut->reason;
        }
    }
    slot.file.reset();
    slot.entryStart.reset();
    if (!slot.writeFailureShown) {
        slot.writeFailureShown = true;
        showStatusError(ProtocolFailureText(error));
    }
}

void syncFile(Slot& slot) {
    if (slot.file) {
        if (auto error = slot.file->Sync()) {
            fileFailed(slot, std::move(*error));
        }
    }
    slot.entryStart.reset();
}

void scrollToEnd(int panel) {
    int lines = 0;
    int visible = 0;
    ui::GetNumTextBoxLines(panel, CHLP_LOG, lines);
    ui::GetCtrlAttribute(panel, CHLP_LOG, ui::ATTR_VISIBLE_LINES, visible);
    ui::SetCtrlAttribute(panel, CHLP_LOG, ui::ATTR_FIRST_VISIBLE_LINE,
                         lines - visible > 0 ? lines - visible : 0);
}

}  // namespace

int SetupChlp(std::string_view resourceFile, int logIndex, std::string_view title,
              const std::string& fileName) {
    if (logIndex < 0 || logIndex >= kLogSlots) {
        return -1;
    }
    DiscardChlp(logIndex);  // callers close an open slot first; nothing is ever left dangling
    const int panel = ui::LoadPanel(0, resourceFile, CHLP);
    if (panel <= 0) {
        return -1;
    }
    Slot& slot = slots[logIndex];
    slot.panel = panel;
    slot.writeFailureShown = false;
    slot.entryStart.reset();
    auto opened = os::RecordFile::Open(fileName);
    if (auto* file = std::get_if<os::RecordFile>(&opened)) {
        slot.file = std::move(*file);
    } else {
        slot.file.reset();
        // The fixed pop-up, and its cause beside it, once for this opening.
        ui::MessagePopup(kOpenFailedTitle, kOpenFailedText);
        slot.writeFailureShown = true;
        showStatusError(ProtocolFailureText(std::get<os::FileError>(opened)));
    }
    WriteLOG(logIndex, title);
    ui::SetPanelAttribute(panel, ui::ATTR_TITLE, title);
    return 0;
}

void DiscardChlp(int logIndex) {
    Slot* slot = openSlot(logIndex);
    if (slot == nullptr) {
        return;
    }
    const int panel = std::exchange(slot->panel, 0);
    slot->file.reset();
    slot->entryStart.reset();
    ui::DiscardPanel(panel);
}

void DisplayChlp(int logIndex, std::optional<std::string_view> title) {
    Slot* slot = openSlot(logIndex);
    if (slot == nullptr) {
        return;
    }
    if (title) {
        ui::SetPanelAttribute(slot->panel, ui::ATTR_TITLE, *title);
    }
    ui::DisplayPanel(slot->panel);
}

void WriteLOG(int logIndex, std::string_view message) {
    Slot* slot = openSlot(logIndex);
    if (slot == nullptr) {
        return;
    }
    if (slot->file && !message.empty()) {
        if (auto error = slot->file->Append(ProtocolFileBytes(message))) {
            fileFailed(*slot, std::move(*error));
        }
    }
    if (!message.empty() && message.back() == '\n') {
        message.remove_suffix(1);
    }
    ui::InsertTextBoxLine(slot->panel, CHLP_LOG, -1, message);
    scrollToEnd(slot->panel);
}

DeviationResult DoChlp(int logIndex, std::string_view heading, std::span<const double> samples,
                       int channel, double un, double tolerance) {
    if (Slot* slot = openSlot(logIndex); slot != nullptr && slot->file) {
        slot->entryStart = slot->file->Size();
        if (*slot->entryStart < 0) {
            slot->entryStart.reset();
        }
    }
    WriteLOG(logIndex, heading);
    DeviationResult result = ChkDeviation(samples, un, tolerance);
    WriteLOG(logIndex, ColumnHeader(channel));
    WriteLOG(logIndex, ResultRow(result, un));
    WriteLOG(logIndex, "\n");
    if (Slot* slot = openSlot(logIndex)) {
        syncFile(*slot);
        ShowPointPlot(slot->panel, samples, result, channel, un, tolerance);
    }
    return result;
}

void SetLogTimeDate() {
    lastStamp = os::CurrentLocalTime();
    WriteLOG(kProtocolLog, TimeStampText(lastStamp));
    if (Slot* slot = openSlot(kProtocolLog)) {
        syncFile(*slot);
    }
}

int ChlpPanel(int logIndex) {
    const Slot* slot = openSlot(logIndex);
    return slot != nullptr ? slot->panel : 0;
}

os::LocalTime LastTimeStamp() {
    return lastStamp;
}

}  // namespace qm7x::verify
