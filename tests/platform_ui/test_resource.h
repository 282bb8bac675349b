// A small panel resource with one control of every kind, registered under its own name.
#pragma once

#include <string_view>

#include "qm7x/ui/frontend.h"
#include "qm7x/ui/userint.h"

namespace qm7x::ui::test {

inline constexpr std::string_view kResourceName = "test.uir";

// Panel and control numbers of the resource below.
enum : int {
    MAIN = 1,
    MAIN_BUTTON = 2,
    MAIN_COUNT = 3,   // int numeric 1..3
    MAIN_VOLTS = 4,   // double numeric, engineering
    MAIN_NAME = 5,    // text field
    MAIN_RING = 6,    // ring with values 10, 20
    MAIN_SWITCH = 7,  // binary switch off 0 / on 1
    MAIN_TABLE = 8,   // 2 rows x 3 columns
    MAIN_LOG = 9,     // text box
    MAIN_TAB = 10,    // pages PAGE_A, PAGE_B
    MAIN_LIST = 11,   // list box
    MAIN_RADIO_A = 12,
    MAIN_RADIO_B = 13,
    MAIN_SHORT = 14,  // ushort indicator, dimmed
    MAIN_MSG = 15,    // text message
    MAIN_FRAME = 16,  // decoration
    MAIN_GRAPH = 17,  // axes "sample" / "U, V", both autoscaled
    DIALOG = 2,
    DIALOG_OK = 2,
    DIALOG_CANCEL = 3,
    PAGE_A = 3,
    PAGE_A_VALUE = 2,
    PAGE_B = 4,
    PAGE_B_VALUE = 2,
};

inline constexpr std::string_view kResource = R"(
panels:
  - number: 1
    constant: MAIN
    title: "Main"
    callback: mainPanelCB
    width: 600
    height: 400
    close_ctrl: BUTTON
    controls:
      - {number: 16, constant: FRAME, kind: decoration}
      - {number: 2, constant: BUTTON, kind: command_button, label: "__Press", callback: buttonCB}
      - {number: 3, constant: COUNT, kind: numeric, data_type: int, default: 1, min: 1, max: 3}
      - {number: 4, constant: VOLTS, kind: numeric, data_type: double, default: 0.0002, min: 4.0e-7, max: 0.026214, step: 4.0e-7, format: engineering, precision: 3}
      - {number: 5, constant: NAME, kind: string, default: "qm7X.log", callback: nameCB}
      - {number: 6, constant: RING, kind: ring, items: [{label: "ten", value: 10}, {label: "twenty", value: 20}], default_index: 1}
      - {number: 7, constant: SWITCH, kind: binary_switch, off_text: "выкл", on_text: "вкл"}
      - {number: 8, constant: TABLE, kind: table, rows: ["1", "2"], columns: ["a", "b", "c"]}
      - {number: 9, constant: LOG, kind: text_box, height: 86}
      - number: 10
        constant: TAB
        kind: tab
        pages: [{label: "A", panel: PAGE_A}, {label: "B", panel: PAGE_B}]
      - {number: 11, constant: LIST, kind: list_box, callback: listCB}
      - {number: 12, constant: RADIO_A, kind: radio_button, default: 1}
      - {number: 13, constant: RADIO_B, kind: radio_button}
      - {number: 14, constant: SHORT, kind: numeric, data_type: ushort, default: 7, mode: indicator, dimmed: true}
      - {number: 15, constant: MSG, kind: text_message, default: "hello"}
      - {number: 17, constant: GRAPH, kind: graph, label: "Samples", x_name: "sample", y_name: "U, V"}
  - number: 2
    constant: DIALOG
    title: "Dialog"
    controls:
      - {number: 2, constant: OK, kind: command_button, label: "OK", callback: okCB}
      - {number: 3, constant: CANCEL, kind: command_button, label: "Cancel", callback: cancelCB}
  - number: 3
    constant: PAGE_A
    title: "A"
    controls:
      - {number: 2, constant: VALUE, kind: numeric, default: 1.5}
  - number: 4
    constant: PAGE_B
    title: "B"
    controls:
      - {number: 2, constant: VALUE, kind: string, default: "b"}
)";

// Registers the resource and loads MAIN.
inline int LoadMain() {
    RegisterResource(kResourceName, kResource);
    return LoadPanel(0, kResourceName, MAIN);
}

}  // namespace qm7x::ui::test
