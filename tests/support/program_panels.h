// The program's panels loaded into a headless run-time, as start-up loads them, with small readers
// of what they show.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "p_qm7x.h"
#include "qm7x/drivers/coeff_record.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/headless.h"
#include "qm7x/ui/userint.h"
#include "scratch_working_directory.h"

namespace qm7x::test {

class ProgramPanels : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_GE(ui::InitUserInterface(0, nullptr), 0);
        qm7x::stPanel = ui::LoadPanel(0, qm7x::kResourceFile, ST);
        qm7x::mpPanel = ui::LoadPanel(0, qm7x::kResourceFile, MP);
        ASSERT_GT(qm7x::stPanel, 0);
        ASSERT_GT(qm7x::mpPanel, 0);
        ASSERT_GE(ui::GetPanelHandleFromTabPage(qm7x::mpPanel, MP_TAB, 0, qm7x::cpPanel), 0);
        ASSERT_GE(ui::GetPanelHandleFromTabPage(qm7x::mpPanel, MP_TAB, 1, qm7x::ppPanel), 0);
    }

    // Rows 1..kChannels of one column of the coefficient table.
    static std::array<double, kChannels> column(int col) {
        std::array<double, kChannels> values{};
        for (int row = 1; row <= kChannels; ++row) {
            EXPECT_GE(ui::GetTableCellVal(qm7x::cpPanel, CP_TABLE, ui::MakePoint(col, row),
                                          values[row - 1]),
                      0);
        }
        return values;
    }
    static void setColumn(int col, const std::array<double, kChannels>& values) {
        for (int row = 1; row <= kChannels; ++row) {
            ASSERT_GE(ui::SetTableCellVal(qm7x::cpPanel, CP_TABLE, ui::MakePoint(col, row),
                                          values[row - 1]),
                      0);
        }
    }
    static int ringIndex() {
        int index = -1;
        ui::GetCtrlIndex(qm7x::cpPanel, CP_RING_LINE, index);
        return index;
    }
    static std::string text(int panel, int control) {
        std::string value;
        EXPECT_GE(ui::GetCtrlVal(panel, control, value), 0);
        return value;
    }
    static std::string statusLine() { return text(qm7x::mpPanel, MP_ERROR_MESSAGE); }
    static int statusColour() {
        int colour = -1;
        ui::GetCtrlAttribute(qm7x::mpPanel, MP_ERROR_MESSAGE, ui::ATTR_TEXT_COLOR, colour);
        return colour;
    }

    ui::HeadlessSession ui_;

    ScratchWorkingDirectory workingDirectory_;
};

}  // namespace qm7x::test
