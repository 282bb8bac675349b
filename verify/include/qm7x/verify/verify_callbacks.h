// Callbacks of the verification page and of the protocol panel; each acts on its one event (commit,
// or the panel's resize for chlpCB) and returns 0.
#pragma once

namespace qm7x::verify {

// PP "Пуск": one verification point.
int startTest(int panel, int control, int event, void* callbackData, int eventData1,
              int eventData2);
// PP temperature radio buttons.
int temperatureCB(int panel, int control, int event, void* callbackData, int eventData1,
                  int eventData2);
// PP "файл протокола" and "Протокол".
int selFName(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int showLog(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Panel callback of CHLP.
int chlpCB(int panel, int event, void* callbackData, int eventData1, int eventData2);

}  // namespace qm7x::verify
