// Callbacks of the verification run, the protocol and the calibration run, which are not built
// yet. They are registered under their resource names so that every control of the panels is
// bound; until their modules arrive they do nothing and return 0.
#pragma once

namespace qm7x::app::pending {

// Verification page and protocol panel.
int startTest(int panel, int control, int event, void* callbackData, int eventData1,
              int eventData2);
int temperatureCB(int panel, int control, int event, void* callbackData, int eventData1,
                  int eventData2);
int selFName(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int showLog(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int chlpCB(int panel, int event, void* callbackData, int eventData1, int eventData2);
// Calibration run.
int calibrPoint(int panel, int control, int event, void* callbackData, int eventData1,
                int eventData2);
int calibrCB(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int resetCB(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

}  // namespace qm7x::app::pending
