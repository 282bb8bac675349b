// The instrument selection dialog, built at run time: a list of the discovered carriers with the
// buttons "Выбрать" and "Отмена".
#pragma once

#include "qm7x/app/instruments.h"

namespace qm7x::app {

// Controls of the dialog, known once it is built.
struct SelectDialog {
    int panel = 0;
    int ok = 0;
    int cancel = 0;
    int list = 0;
};

// Builds the dialog panel with the given title; returns its handle (negative on failure).
int BuildSI(const char* title);
// Fills the list from Instruments; returns the number of items.
int SetListInstrs();
// Takes the selected item as the chosen instrument: 0, or -1 when nothing is selected.
int SetCurInstr();
// The dialog as built (panel 0 before the first SelectInstrument).
const SelectDialog& SelectDialogControls();

}  // namespace qm7x::app
