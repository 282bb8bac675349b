// The program's panels and callbacks in the real Qt windows (offscreen) on a simulated bench
// written by the test: one VXI carrier in slot 5 of the crate at logical address 1 with a QM7X
// whose blocks complete at once. The operator's hand is QTest: clicks and keys on the widgets.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "qt_frontend.h"

class QPushButton;

namespace qm7x::test {

class QtProgramTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The reference source at the three inputs, volts (read at each acquisition start).
    void ApplyReference(const std::array<double, 3>& volts);
    // The operator's hand on the widget of a control.
    void Click(int panel, int control);
    void Type(int panel, int control, const std::string& text);  // select all, type, Return
    void SwitchRelayIn();
    // One verification point as an operator makes it: voltage, channel, relay in, "Пуск".
    void MeasurePoint(int channel, double volts);

    QWidget* ControlWidget(int panel, int control) const {
        return frontEnd_->ControlWidgetOf(panel, control);
    }
    QWidget* PanelWidget(int panel) const { return frontEnd_->PanelWidgetOf(panel); }
    // Verdict rows in the protocol file.
    int ProtocolEntries() const;
    std::string StatusLine() const;
    static void Settle();

    std::filesystem::path dir_;
    std::filesystem::path protocol_;
    std::unique_ptr<ui::qt::QtFrontEnd> frontEnd_;
};

// Posts a whole click to the button, as the window system queues one while the program is busy.
void QueueClick(QPushButton* button);

}  // namespace qm7x::test
