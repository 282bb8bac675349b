// The mezzanine's self-test and its panel.
#pragma once

namespace qm7x::app {

// Callback of MP's SELFTEST: runs the driver's self-test (a demonstration outcome without a
// session) and shows the result in the self-test panel. Acts on commit; returns 0.
int Selftest(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

}  // namespace qm7x::app
