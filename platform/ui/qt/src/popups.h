// The run-time's pop-ups as Qt dialogs: message, confirmation, prompt and file selection.
#pragma once

#include <string>
#include <string_view>

#include "qm7x/ui/userint.h"

namespace qm7x::ui::qt {

void ShowMessageDialog(std::string_view title, std::string_view message);
// 1 for yes, 0 for no (also when the dialog is closed).
int ShowConfirmDialog(std::string_view title, std::string_view message);
// 0 with `reply` set, or UIEUserCancelled with `reply` unchanged.
int ShowPromptDialog(std::string_view title, std::string_view message, std::string& reply,
                     int maxReplyLength);
// VAL_NO_FILE_SELECTED, VAL_EXISTING_FILE_SELECTED or VAL_NEW_FILE_SELECTED.
int ShowFileDialog(const FileSelectOptions& options, std::string& path);

}  // namespace qm7x::ui::qt
