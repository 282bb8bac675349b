// Callbacks of the shell: exit, the about panel and the close buttons of the small panels.
#pragma once

namespace qm7x::app {

// MP " Выход ": asks the event loop for the exit confirmation.
int mp_exit(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// EXIT_POPUP "ДА": ends the event loop after the current pass.
int exit_yes(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// EXIT_POPUP "НЕТ": removes the confirmation; the work goes on.
int exit_no(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// MP "О программе": shows the ABOUT panel.
int aboutCB(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// ABOUT "Закрыть", ST "__Закрыть", CHLP "Закрыть": hide the panel the button is on.
int closePCB(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int closeP(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int closeSp(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Panel callback of ABOUT: the window's close box hides it.
int closePanelCB(int panel, int event, void* callbackData, int eventData1, int eventData2);
// MP "__OK": empties the status line; its colour stays.
int errMessOk(int panel, int control, int event, void* callbackData, int eventData1,
              int eventData2);

// Called by the event loop when an exit was requested: shows the confirmation as a modal pop-up
// and clears the request.
void exitCalibr();

}  // namespace qm7x::app
