// The "Автомат" page: the calibrator chosen from those VISA finds, the plan file, the calibrate
// choice, "Пуск" and "Стоп", the progress, the points as they are taken and the last one's plot.
#pragma once

#include <string>

namespace qm7x::app {

int apFind(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int apPlanFile(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int apStart(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int apStop(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// The page as the program starts: the shipped standard plan in the plan field.
void SetUpAutoPage();
// The standard plan: installed beside the program, else the one of the source tree.
std::string StandardPlanPath();

}  // namespace qm7x::app
