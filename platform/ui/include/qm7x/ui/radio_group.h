// Radio-button groups: independent radio buttons on one panel treated as one choice.
#pragma once

#include <span>

namespace qm7x::ui {

// Makes `selected` the only selected button of the group (its value 1, the others 0).
// selected 0: none selected. Returns 0, or a negative error (a control not on the panel or not a
// radio button; `selected` not in the group) with nothing changed.
int SetSelectedRadioButtons(int panel, std::span<const int> group, int selected);
// `selected` := the first selected button of the group, 0 when none is. Returns 0 or an error.
int GetSelectedRadioButtons(int panel, std::span<const int> group, int& selected);

}  // namespace qm7x::ui
