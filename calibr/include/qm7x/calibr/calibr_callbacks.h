// Callbacks of the calibration run, the zero-offset adjustment and the reset.
#pragma once

namespace qm7x::calibr {

// CP "Пуск": the two-point calibration of one channel.
int calibrPoint(int panel, int control, int event, void* callbackData, int eventData1,
                int eventData2);
// MP "Смещение 0" and "Сброс".
int calibrCB(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int resetCB(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

}  // namespace qm7x::calibr
