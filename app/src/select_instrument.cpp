// The selection dialog. It is an ordinary panel, not a modal pop-up: the panels shown before it
// stay operable while the operator chooses.
#include <string>

#include "qm7x/app/select_dialog.h"
#include "qm7x/ui/userint.h"

namespace qm7x::app {
namespace {

SelectDialog dialog;  // built once, reused
InstrRecord* selectedInstr = nullptr;

inline constexpr int kHeight = 335;
inline constexpr int kWidth = 517;

// The record of the list item with value `value`, when that value names an entry.
InstrRecord* recordOfListValue(int value) {
    if (value < 0 || value >= kMaxInstruments) {
        return nullptr;
    }
    return &Instruments[static_cast<std::size_t>(value)];
}

int listItemCount() {
    int count = 0;
    return ui::GetNumListItems(dialog.panel, dialog.list, count) < 0 ? 0 : count;
}

int onOk(int, int, int event, void*, int, int) {
    if (event == ui::EVENT_COMMIT && SetCurInstr() == 0) {
        ui::HidePanel(dialog.panel);
    }
    return 0;
}

int onCancel(int, int, int event, void*, int, int) {
    if (event == ui::EVENT_COMMIT) {
        selectedInstr = nullptr;
        ui::HidePanel(dialog.panel);
    }
    return 0;
}

int onList(int, int, int event, void*, int, int) {
    if (event != ui::EVENT_COMMIT && event != ui::EVENT_LEFT_DOUBLE_CLICK) {
        return 0;
    }
    int value = 0;
    if (listItemCount() > 0 && ui::GetCtrlVal(dialog.panel, dialog.list, value) >= 0) {
        if (InstrRecord* record = recordOfListValue(value)) {
            selectedInstr = record;
            ui::HidePanel(dialog.panel);
        }
    }
    return 0;
}

int addControl(int style, const char* label, int top, int left, int width, int height,
               ui::CtrlCallbackPtr callback) {
    const int control = ui::NewCtrl(dialog.panel, style, label, top, left);
    if (control < 0) {
        return control;
    }
    ui::SetCtrlAttribute(dialog.panel, control, ui::ATTR_WIDTH, width);
    ui::SetCtrlAttribute(dialog.panel, control, ui::ATTR_HEIGHT, height);
    ui::InstallCtrlCallback(dialog.panel, control, callback, nullptr);
    return control;
}

bool isShown() {
    int visible = 0;
    return ui::GetPanelAttribute(dialog.panel, ui::ATTR_VISIBLE, visible) >= 0 && visible != 0;
}

}  // namespace

int BuildSI(const char* title) {
    dialog = {};
    dialog.panel =
        ui::NewPanel(0, title, ui::VAL_AUTO_CENTER, ui::VAL_AUTO_CENTER, kHeight, kWidth);
    if (dialog.panel < 0) {
        const int error = dialog.panel;
        dialog = {};
        return error;
    }
    ui::SetPanelAttribute(dialog.panel, ui::ATTR_BACKCOLOR, ui::VAL_LT_GRAY);
    // Created in the tab order.
    dialog.ok = addControl(ui::CTRL_SQUARE_COMMAND_BUTTON, "Выбрать", 41, 408, 103, 25, &onOk);
    dialog.cancel =
        addControl(ui::CTRL_SQUARE_COMMAND_BUTTON, "Отмена", 84, 408, 103, 25, &onCancel);
    dialog.list = addControl(ui::CTRL_LIST, "", 3, 14, 385, 323, &onList);
    ui::SetPanelAttribute(dialog.panel, ui::ATTR_CLOSE_CTRL, dialog.cancel);
    return dialog.panel;
}

int SetListInstrs() {
    ui::ClearListCtrl(dialog.panel, dialog.list);
    int count = 0;
    for (int i = 0; i < kMaxInstruments; ++i) {
        const InstrRecord& record = Instruments[static_cast<std::size_t>(i)];
        if (record.modelCode == 0) {
            continue;
        }
        std::string text = record.descr;
        for (auto at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) {
            text.replace(at, 1, "  ");
        }
        ui::InsertListItem(dialog.panel, dialog.list, -1, text, i);
        ++count;
    }
    return count;
}

int SetCurInstr() {
    int value = 0;
    if (listItemCount() == 0 || ui::GetCtrlVal(dialog.panel, dialog.list, value) < 0) {
        return -1;
    }
    InstrRecord* record = recordOfListValue(value);
    if (record == nullptr) {
        return -1;
    }
    selectedInstr = record;
    return 0;
}

const SelectDialog& SelectDialogControls() {
    return dialog;
}

InstrRecord* SelectInstrument(const char* title) {
    // Built once; built again only when the run-time no longer knows the panel (it was reset).
    int visible = 0;
    const bool built =
        dialog.panel > 0 && ui::GetPanelAttribute(dialog.panel, ui::ATTR_VISIBLE, visible) >= 0;
    if (!built && BuildSI(title) < 0) {
        return nullptr;
    }
    ui::SetPanelAttribute(dialog.panel, ui::ATTR_TITLE, title);
    if (SetListInstrs() == 0) {
        return nullptr;
    }
    ui::DisplayPanel(dialog.panel);
    while (isShown()) {
        // Blocks until the operator does something; a front end that can deliver nothing more
        // ends the choice as if it was cancelled.
        if (ui::ProcessNextEvent() < 0) {
            selectedInstr = nullptr;
            ui::HidePanel(dialog.panel);
        }
    }
    return selectedInstr;
}

}  // namespace qm7x::app
