// Rules of the coefficient record that need no driver and no panel: tags, range classes, copies.
#include <cstring>

#include "qm7x/calibr/coeff_storage.h"

namespace qm7x::calibr {

int ringIndexOfTag(const std::array<char, 4>& tag) {
    return tag == kTagAbove500kHz ? 1 : 0;
}

std::array<char, 4> tagOfRingIndex(int index) {
    return index == 1 ? kTagAbove500kHz : kTagBelow500kHz;
}

int classifyRange(double volts) {
    // The first nominal limit (1 V, then 0.1 V) that the range exceeds with margin gives the
    // class just above it; a comparison with NaN is false, so NaN falls through to the smallest.
    for (int j = 1; j <= 2; ++j) {
        if (kRangeMargin * rangeVolts[j] < volts) {
            return j - 1;
        }
    }
    return 2;
}

void copyRecord(CoeffRecord& to, const CoeffRecord& from) {
    if (&to != &from) {
        std::memcpy(&to, &from, sizeof(CoeffRecord));
    }
}

}  // namespace qm7x::calibr
