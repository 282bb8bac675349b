// The input-relay switch in the real window: a click the driver refuses leaves the switch showing
// the relay as it is, and the status line says why.
#include <gtest/gtest.h>

#include <QTest>
#include <string>

#include "binary_switch.h"
#include "p_qm7x.h"
#include "qm7x/program/channel_relay.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/sessions.h"
#include "qt_fixture.h"

namespace qm7x::ui::qt {
namespace {

class RelaySwitchWindow : public testing::QtFrontEndTest {
  protected:
    void SetUp() override {
        QtFrontEndTest::SetUp();
        qm7x::mpPanel = Load(MP);
        GetPanelHandleFromTabPage(qm7x::mpPanel, MP_TAB, 0, qm7x::cpPanel);
        GetPanelHandleFromTabPage(qm7x::mpPanel, MP_TAB, 1, qm7x::ppPanel);
        DisplayPanel(qm7x::mpPanel);
        SetActiveTabPage(qm7x::mpPanel, MP_TAB, 1);
        Settle();
    }
};

TEST_F(RelaySwitchWindow, ARefusedSwitchInClicksBackToOff) {
    qm7x::mezSession = 0;  // the driver refuses every switch of a session that is not open
    InstallCtrlCallback(qm7x::ppPanel, PP_RELE_SWITCH, qm7x::releSwitch, nullptr);
    auto* relay = Widget<BinarySwitch>(qm7x::ppPanel, PP_RELE_SWITCH);
    QTest::mouseClick(relay, Qt::LeftButton);
    Settle();
    int state = -1;
    GetCtrlVal(qm7x::ppPanel, PP_RELE_SWITCH, state);
    EXPECT_EQ(state, 0);
    EXPECT_FALSE(relay->isChecked());
    std::string status;
    GetCtrlVal(qm7x::mpPanel, MP_ERROR_MESSAGE, status);
    EXPECT_EQ(status.rfind("Входное реле не включено: ", 0), 0u) << status;
}

}  // namespace
}  // namespace qm7x::ui::qt
