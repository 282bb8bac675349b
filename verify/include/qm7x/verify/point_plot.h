// The picture of the last point on the protocol panel: the samples against their index, kept ones
// and dropped ones marked apart, the measured value, Un and the band Un +/- tolerance.
#pragma once

#include <span>

#include "qm7x/verify/deviation_check.h"

namespace qm7x::verify {

// Replaces the plot of the panel's graph with this point.
void ShowPointPlot(int panel, std::span<const double> samples, const DeviationResult& result,
                   int channel, double un, double tolerance);

// Lays out the protocol panel for its size: the text box fills it up to the plot, the plot keeps
// its width at the right edge, both reach the bottom.
void LayOutProtocolPanel(int panel);

}  // namespace qm7x::verify
