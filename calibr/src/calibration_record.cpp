#include "qm7x/calibr/calibration_record.h"

#include <array>

#include "qm7x/program/status_line.h"
#include "qm7x/results/recorder.h"

namespace qm7x::calibr {
namespace {

struct References {
    double positiveV = results::kNotApplicable;
    double negativeV = results::kNotApplicable;
};
std::array<References, kChannels> lastReferences;

}  // namespace

void RememberReferences(int channel, double positiveV, double negativeV) {
    if (channel >= 1 && channel <= kChannels) {
        lastReferences[channel - 1] = {positiveV, negativeV};
    }
}

void ForgetReferences() {
    lastReferences.fill({});
}

void RecordStoredCalibrations(const CoeffRecord& before, const CoeffRecord& after,
                              std::uint32_t crc32, const std::string& logFile,
                              std::int64_t logOffset) {
    std::string notStored;
    for (int channel = 1; channel <= kChannels; ++channel) {
        CoeffRecord b = before;
        CoeffRecord a = after;
        if (firstGain(b, channel) == firstGain(a, channel) &&
            secondGain(b, channel) == secondGain(a, channel)) {
            continue;
        }
        results::CalibrationRecord row;
        row.channel = channel;
        row.gain_first_before = firstGain(b, channel);
        row.gain_second_before = secondGain(b, channel);
        row.gain_first_after = firstGain(a, channel);
        row.gain_second_after = secondGain(a, channel);
        row.reference_positive_v = lastReferences[channel - 1].positiveV;
        row.reference_negative_v = lastReferences[channel - 1].negativeV;
        row.record_crc32 = crc32;
        row.calibration_log = logFile;
        row.log_offset = logOffset;
        if (auto failure = results::ProgramRecorder().Calibration(row)) {
            notStored = results::NotStoredText(
                "калибровка канала " + std::to_string(channel) + " (в EEPROM она записана)",
                *failure);
        }
    }
    if (!notStored.empty()) {
        showStatusError(notStored);
    }
}

}  // namespace qm7x::calibr
