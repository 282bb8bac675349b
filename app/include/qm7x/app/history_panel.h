// The module-history panel: the open module's sessions from the results store, each with its
// points and calibrations, and the drift of each channel's deviation at its test points.
#pragma once

#include <string>
#include <vector>

#include "qm7x/results/store.h"

namespace qm7x::app {

// The panel's lines for the history, oldest session first.
std::vector<std::string> HistoryLines(const std::vector<results::SessionHistory>& history);

// Fills the history panel (loaded at the first call) for the serial from the store and shows it;
// returns the panel.
int ShowHistory(const std::string& serial, results::ResultsStore& store);

// Callback of PP's HISTORY: the history of the module open now; a module without a serial number
// or a store that cannot be read is said on the status line. Acts on commit; returns 0.
int historyCB(int panel, int control, int event, void* callbackData, int eventData1,
              int eventData2);

}  // namespace qm7x::app
