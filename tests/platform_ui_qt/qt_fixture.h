// A Qt application for the whole test program and a fixture that installs the Qt front end.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <memory>

#include "qt_frontend.h"

namespace qm7x::ui::qt::testing {

class QtFrontEndTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Loads a panel of the program's resource, asserting success.
    int Load(int resourceId);
    // The widget of a control, cast to the expected class (nullptr if absent or of another kind).
    template <typename W>
    W* Widget(int panel, int control) const {
        return qobject_cast<W*>(frontEnd_->ControlWidgetOf(panel, control));
    }
    QWidget* PanelWidget(int panel) const { return frontEnd_->PanelWidgetOf(panel); }
    // Lets Qt deliver what is pending (paint, layout, posted events).
    static void Settle();

    std::unique_ptr<QtFrontEnd> frontEnd_;
};

// Runs `action` on the next modal dialog once it is shown (for pop-ups that block in exec()).
void OnNextModal(std::function<void(QWidget* dialog)> action);

// Records the callback events of controls and panels.
struct EventLog {
    struct Entry {
        int panel;
        int control;
        int event;
        int data1;
        int data2;
    };
    static std::vector<Entry>& Entries();
    static int ControlCallback(int panel, int control, int event, void* data, int d1, int d2);
    static int PanelCallback(int panel, int event, void* data, int d1, int d2);
    static int Count(int panel, int control, int event);
};

}  // namespace qm7x::ui::qt::testing
