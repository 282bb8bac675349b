// Factories of the control views by family; each returns nullptr for kinds it does not make.
#pragma once

#include <memory>

#include "control_view.h"

namespace qm7x::ui::qt {

std::unique_ptr<ControlView> CreateInputView(const Control& control, int panel, QWidget* area);
std::unique_ptr<ControlView> CreateDisplayView(const Control& control, int panel, QWidget* area,
                                               PanelResolver& resolver);
std::unique_ptr<ControlView> CreateGraphView(const Control& control, int panel, QWidget* area);

}  // namespace qm7x::ui::qt
