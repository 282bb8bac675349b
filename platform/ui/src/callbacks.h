// Callback functions registered by name for the names written in the resource.
#pragma once

#include <string_view>

#include "qm7x/ui/userint.h"

namespace qm7x::ui::detail {

CtrlCallbackPtr FindCtrlCallback(std::string_view name);
PanelCallbackPtr FindPanelCallback(std::string_view name);

}  // namespace qm7x::ui::detail
