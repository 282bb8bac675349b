// The coefficient table of the calibration page and the load, store and default operations on the
// driver's coefficient record.
#include "qm7x/calibr/coeff_storage.h"

#include <cmath>
#include <string>

#include "p_qm7x.h"
#include "qm7x/calibr/calibr_run.h"
#include "qm7x/calibr/calibration_log.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"
#include "trqm7x.h"

namespace qm7x::calibr {

namespace {

constexpr const char* kEepromRead = "Коэффициенты прочитаны из EEPROM мезонина";
constexpr const char* kNoMezzanineToWrite =
    "Мезонин не открыт: коэффициенты приняты программой, в EEPROM не записаны";

constexpr int kRangeColumn = 3;
constexpr int kTestUColumn = 4;

// Rows 1..kChannels of one column of the table.
ui::Rect column(int col) {
    return ui::MakeRect(1, col, kChannels, 1);
}

void showColumn(int col, const std::array<double, kChannels>& values) {
    ui::SetTableCellRangeVals(cpPanel, CP_TABLE, column(col), values, ui::VAL_COLUMN_MAJOR);
}

// Reads a column; on a failed read the target keeps what it held.
void readColumn(int col, std::array<double, kChannels>& values) {
    std::array<double, kChannels> read{};
    if (ui::GetTableCellRangeVals(cpPanel, CP_TABLE, column(col), read, ui::VAL_COLUMN_MAJOR) >=
        0) {
        values = read;
    }
}

}  // namespace

void showCoeff() {
    for (int col = 1; col <= 2; ++col) {
        for (int row = 1; row <= kChannels; ++row) {
            const double gain = col == 1 ? firstGain(coeffCopy, row) : secondGain(coeffCopy, row);
            ui::SetTableCellVal(cpPanel, CP_TABLE, ui::MakePoint(col, row), gain);
        }
    }
    showColumn(kRangeColumn, coeffCopy.rangeV);
    showColumn(kTestUColumn, coeffCopy.testU);
    ui::SetCtrlIndex(cpPanel, CP_RING_LINE, ringIndexOfTag(coeffCopy.tag));
}

void refreshRanges() {
    for (int k = 1; k <= kChannels; ++k) {
        // A failed query is shown and changes nothing: the range and with it the tolerance of
        // the channel stay as they were, never classified from what the driver left behind.
        double queried = range[k - 1];
        if (const ViStatus status = trqm7x_range_q(mezSession, static_cast<ViInt16>(k), &queried);
            status < 0) {
            if (mezSession == 0) {
                continue;  // no module, no range: the load has shown the driver's status already
            }
            appendStatusError("Диапазон канала " + std::to_string(k) +
                              " не прочитан, допуск оставлен прежним: " + driverStatusText(status));
            continue;
        }
        range[k - 1] = queried;
        rangeIdx[k - 1] = classifyRange(queried);
    }
}

void warnOfUnusableGains(const CoeffRecord& record) {
    std::string channels;
    for (int k = 1; k <= kChannels; ++k) {
        const double first = record.gain[2 * (k - 1)];
        const double second = record.gain[2 * (k - 1) + 1];
        if (!(std::isfinite(first) && first > 0.0 && std::isfinite(second) && second > 0.0)) {
            channels += (channels.empty() ? "" : ", ") + std::to_string(k);
        }
    }
    if (!channels.empty()) {
        appendStatusError(
            "ВНИМАНИЕ! Коэффициенты EEPROM непригодны (нулевые или не числа), "
            "канал " +
            channels + ": модуль нужно откалибровать");
    }
}

bool loadCoefficients() {
    clearStatusLine();
    ui::SetWaitCursor(1);
    // A failed read is only shown: the copy then shows what the driver's record holds.
    const bool read = checkErr(trqm7x_readFlash(mezSession)) == 0;
    copyRecord(coeffCopy, *coeffPtr);
    copyRecord(coeffStored, coeffCopy);
    refreshRanges();
    showCoeff();
    if (mezSession != 0) {
        CompareWithLog(coeffCopy);
        warnOfUnusableGains(coeffCopy);
    }
    ui::SetWaitCursor(0);
    return read;
}

int readEEPROM(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
               int /*eventData1*/, int /*eventData2*/) {
    if (event != ui::EVENT_COMMIT || runInProgress() || !loadCoefficients()) {
        return 0;
    }
    // Said when nothing else was (the comparison with the calibration log has the last word).
    std::string status;
    ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, status);
    if (status.empty()) {
        showStatusInfo(kEepromRead);
    }
    return 0;
}

int writeEEPROM(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                int /*eventData1*/, int /*eventData2*/) {
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    clearStatusLine();
    if (ui::ConfirmPopup("", "Записать коэффициенты?") != 1) {
        return 0;
    }
    StoreCoefficients();
    return 0;
}

bool StoreCoefficients() {
    ui::SetWaitCursor(1);
    // The gains are not taken from the table: they are those of the last load, default reset or
    // calibration run, already in coeffCopy.
    readColumn(kRangeColumn, coeffCopy.rangeV);
    readColumn(kTestUColumn, coeffCopy.testU);
    int ringIndex = 0;
    ui::GetCtrlIndex(cpPanel, CP_RING_LINE, ringIndex);
    coeffCopy.tag = tagOfRingIndex(ringIndex);
    copyRecord(*coeffPtr, coeffCopy);
    bool written = true;
    if (mezSession == 0) {
        // The program's copy takes the record, no EEPROM does: said, so that the confirmation
        // does not pass for a write.
        showStatusError(kNoMezzanineToWrite);
    } else {
        // The log's entry comes first: a change the log cannot record is not made.
        const CalibrationLogEntry entry = EntryOfStore(coeffStored, coeffCopy);
        written = LogEepromWrite(entry);
        if (written) {
            const int status = checkErr(trqm7x_writeFlash(mezSession));
            written = status >= 0;
            if (written) {
                copyRecord(coeffStored, coeffCopy);  // the "before" of the next entry
            } else {
                LogFailedEepromWrite(entry, status);
            }
        }
    }
    if (written) {
        refreshRanges();
    }
    ui::SetWaitCursor(0);
    return written;
}

int resetCf(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
            int /*eventData2*/) {
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    clearStatusLine();
    trqm7x_resetCoeff(mezSession);  // status deliberately not examined
    copyRecord(coeffCopy, *coeffPtr);
    showCoeff();
    return 0;
}

int allCB(int panel, int control, int event, void* /*callbackData*/, int /*eventData1*/,
          int /*eventData2*/) {
    if (event != ui::EVENT_COMMIT) {
        return 0;
    }
    double value = 0.0;
    ui::GetCtrlVal(panel, control, value);
    const int col = control == CP_RANGE ? kRangeColumn : kTestUColumn;
    std::array<double, kChannels> values{};
    values.fill(value);
    ui::SetTableCellRangeVals(panel, CP_TABLE, column(col), values, ui::VAL_COLUMN_MAJOR);
    ui::DisplayPanel(panel);
    return 0;
}

}  // namespace qm7x::calibr
