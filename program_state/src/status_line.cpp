// The status line of the main panel and the check of driver statuses.
#include "qm7x/program/status_line.h"

#include <array>
#include <string>

#include "p_qm7x.h"
#include "qm7x/os/encoding.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/ui/userint.h"
#include "trqm7x.h"

namespace qm7x {

namespace {

void writeStatusLine(std::string_view text, int colour) {
    ui::SetCtrlVal(mpPanel, MP_ERROR_MESSAGE, text);
    ui::SetCtrlAttribute(mpPanel, MP_ERROR_MESSAGE, ui::ATTR_TEXT_COLOR, colour);
}

}  // namespace

std::string driverStatusText(int status) {
    std::array<ViChar, TRQM7X_TEXT_LEN + 1> text{};  // one spare byte keeps it terminated
    trqm7x_error_message(0, status, text.data());
    return os::FromCp1251(text.data());
}

int checkErr(int status) {
    if (status == 0) {
        return 0;
    }
    writeStatusLine(driverStatusText(status), kStatusRed);
    return status;
}

void showStatusInfo(std::string_view text) {
    writeStatusLine(text, kStatusWhite);
}

void showStatusError(std::string_view text) {
    writeStatusLine(text, kStatusRed);
}

void appendStatusError(std::string_view text) {
    std::string shown;
    int colour = kStatusWhite;
    ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, shown);
    ui::GetCtrlAttribute(mpPanel, MP_ERROR_MESSAGE, ui::ATTR_TEXT_COLOR, colour);
    if (shown.empty() || colour != kStatusRed) {
        writeStatusLine(text, kStatusRed);
        return;
    }
    writeStatusLine(shown + "; " + std::string(text), kStatusRed);
}

void clearStatusLine() {
    ui::DefaultCtrl(mpPanel, MP_ERROR_MESSAGE);
}

}  // namespace qm7x
