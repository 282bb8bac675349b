#include "qm7x/verify/tolerance.h"

#include <cmath>
#include <cstdlib>

#include "qm7x/program/coeff_record.h"

namespace qm7x::verify {

double ChannelTolerance(int rangeIndex, int passbandIndex, double un) {
    const double rangeV = rangeVolts[rangeIndex];
    if (passbandIndex != 0) {
        return kWideBandTolerance * rangeV;
    }
    return std::fabs(un) * tolOfReading[rangeIndex] + tolOfRange[rangeIndex] * rangeV;
}

double TemperatureAllowance(TemperatureCondition condition, int givenTemperature) {
    switch (condition) {
        case TemperatureCondition::Given: {
            const int beyondBand =
                std::abs(givenTemperature - kReferenceTemperature) - kTemperatureBand;
            return beyondBand < 0 ? 0.0 : beyondBand * kAllowancePerDegree;
        }
        case TemperatureCondition::At40:
            return kAllowanceAt40;
        case TemperatureCondition::At5:
            return kAllowanceAt5;
        case TemperatureCondition::Normal:
            break;
    }
    return 0.0;
}

}  // namespace qm7x::verify
