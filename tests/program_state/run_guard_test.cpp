// While a run is in progress the controls that would start other work are dimmed, and restored
// to what they were when it ends.
#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "program_panels.h"
#include "qm7x/program/run_guard.h"

namespace qm7x::test {
namespace {

int dimmed(int panel, int control) {
    int value = -1;
    EXPECT_GE(ui::GetCtrlAttribute(panel, control, ui::ATTR_DIMMED, value), 0);
    return value;
}

class RunGuard : public ProgramPanels {
  protected:
    std::vector<std::pair<int, int>> interfering() const {
        return {{mpPanel, MP_MEZ_SELECT}, {mpPanel, MP_MEZ_NUM},      {mpPanel, MP_MP_EXIT},
                {mpPanel, MP_SELFTEST},   {mpPanel, MP_RESET},        {mpPanel, MP_CALIBR},
                {cpPanel, CP_START},      {cpPanel, CP_WRITE_EEPROM}, {cpPanel, CP_READ_EEPROM},
                {cpPanel, CP_RESET_CF},   {ppPanel, PP_START},        {ppPanel, PP_FILE_NAME_S},
                {ppPanel, PP_RELE_SWITCH}};
    }
};

TEST_F(RunGuard, DimsWhatWouldInterfereAndRestoresItAfterwards) {
    // One control already dimmed before the run must stay dimmed after it.
    ui::SetCtrlAttribute(cpPanel, CP_WRITE_EEPROM, ui::ATTR_DIMMED, 1);
    EXPECT_FALSE(runInProgress());
    {
        RunInProgress run;
        EXPECT_TRUE(runInProgress());
        for (const auto& [panel, control] : interfering()) {
            EXPECT_EQ(dimmed(panel, control), 1) << "panel " << panel << " control " << control;
        }
        // What the run itself reads or the operator may still use stays available.
        EXPECT_EQ(dimmed(cpPanel, CP_CHAN), 0);
        EXPECT_EQ(dimmed(mpPanel, MP_ABOUT), 0);
        EXPECT_EQ(dimmed(ppPanel, PP_SHOW_LOG), 0);
    }
    EXPECT_FALSE(runInProgress());
    for (const auto& [panel, control] : interfering()) {
        const int expected = panel == cpPanel && control == CP_WRITE_EEPROM ? 1 : 0;
        EXPECT_EQ(dimmed(panel, control), expected) << "panel " << panel << " control " << control;
    }
}

TEST_F(RunGuard, NestedGuardLeavesTheOuterRunInCharge) {
    std::optional<RunInProgress> outer(std::in_place);
    {
        RunInProgress inner;
        EXPECT_TRUE(runInProgress());
    }
    EXPECT_TRUE(runInProgress());
    EXPECT_EQ(dimmed(ppPanel, PP_START), 1);
    outer.reset();
    EXPECT_FALSE(runInProgress());
    EXPECT_EQ(dimmed(ppPanel, PP_START), 0);
}

}  // namespace
}  // namespace qm7x::test
