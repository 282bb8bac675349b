#include "translate_prepare.h"

namespace trqm7x::math {

std::int32_t truncateToInt32(double x) {
    if (x > -2147483649.0 && x < 2147483648.0) {
        return static_cast<std::int32_t>(x);
    }
    return INT32_MIN;
}

std::int16_t quantisedOffsetCodes(double v, double g) {
    const std::int32_t n = truncateToInt32(v / g + 0.5);
    const auto low16 = static_cast<std::uint16_t>(static_cast<std::uint32_t>(n) & 0xFFC0u);
    return static_cast<std::int16_t>(low16);
}

PreparedPositions<double> prepareDouble(const ConvParams& params, const double* coeff,
                                        const std::int32_t* chanList, int chanCount) {
    const double scale = scaleFactor(params);
    PreparedPositions<double> p;
    for (int i = 0; i < chanCount; ++i) {
        const int c = chanList[i];
        p.gp[i] = scale * coeff[gainIndex(c, 0)];
        p.gn[i] = scale * coeff[gainIndex(c, 1)];
        const double v = params.offset[c];
        if (params.format == kPackedFormat) {
            const double g = gainFor(coeff, c, v);  // unscaled gain of the offset's polarity
            p.o[i] = g * quantisedOffsetCodes(v, g);
        } else {
            p.o[i] = v;
        }
    }
    return p;
}

PreparedPositions<float> prepareFloat(const ConvParams& params, const double* coeff,
                                      const std::int32_t* chanList, int chanCount) {
    const auto scale = static_cast<float>(scaleFactor(params));
    PreparedPositions<float> p;
    for (int i = 0; i < chanCount; ++i) {
        const int c = chanList[i];
        p.gp[i] = static_cast<float>(double{scale} * coeff[gainIndex(c, 0)]);
        p.gn[i] = static_cast<float>(double{scale} * coeff[gainIndex(c, 1)]);
        const double v = params.offset[c];
        if (params.format == kPackedFormat) {
            const auto g = static_cast<float>(gainFor(coeff, c, v));
            p.o[i] = static_cast<float>(double{g} * quantisedOffsetCodes(v, g));
        } else {
            p.o[i] = static_cast<float>(v);
        }
    }
    return p;
}

}  // namespace trqm7x::math
