#include "coeff_record.h"

#include <algorithm>
#include <cstring>

namespace qm7x::sim {

std::array<double, kCoeffRecordDoubles> CoeffRecord::doubles() const {
    std::array<double, kCoeffRecordDoubles> values{};
    std::memcpy(values.data(), bytes.data(), kCoeffRecordSize);
    return values;
}

void CoeffRecord::setDoubles(const std::array<double, kCoeffRecordDoubles>& values) {
    std::memcpy(bytes.data(), values.data(), kCoeffRecordSize);
}

std::string CoeffRecord::tag() const {
    return std::string(reinterpret_cast<const char*>(bytes.data()), 4);
}

void CoeffRecord::setTag(const std::string& tag) {
    std::array<char, 4> four{};
    std::copy_n(tag.begin(), std::min<std::size_t>(4, tag.size()), four.begin());
    std::memcpy(bytes.data(), four.data(), 4);
}

namespace {
double At(const CoeffRecord& record, std::size_t index) {
    return record.doubles()[index];
}
void Put(CoeffRecord& record, std::size_t index, double value) {
    std::memcpy(record.bytes.data() + index * sizeof(double), &value, sizeof(double));
}
}  // namespace

double CoeffRecord::range(int channel) const {
    return At(*this, RangeIndex(channel));
}
double CoeffRecord::gain(int channel, bool negative) const {
    return At(*this, GainIndex(channel, negative));
}
double CoeffRecord::testU(int channel) const {
    return At(*this, TestUIndex(channel));
}
void CoeffRecord::setRange(int channel, double volts) {
    Put(*this, RangeIndex(channel), volts);
}
void CoeffRecord::setGain(int channel, bool negative, double voltsPerCode) {
    Put(*this, GainIndex(channel, negative), voltsPerCode);
}
void CoeffRecord::setTestU(int channel, double volts) {
    Put(*this, TestUIndex(channel), volts);
}

CoeffRecord DefaultRecord() {
    CoeffRecord record;
    record.setTag("QM7X");
    constexpr std::array kRanges{10.0, 1.0, 0.1};
    for (int channel = 1; channel <= kChannels; ++channel) {
        const double range = kRanges[static_cast<std::size_t>(channel - 1)];
        record.setRange(channel, range);
        record.setGain(channel, false, range / kFullScaleCodes);
        record.setGain(channel, true, range / kFullScaleCodes);
        record.setTestU(channel, 0.9 * range);
    }
    return record;
}

CoeffRecord BlankRecord() {
    CoeffRecord record;
    record.bytes.fill(0xFF);
    return record;
}

bool IsBlank(const CoeffRecord& record) {
    return record == BlankRecord();
}

}  // namespace qm7x::sim
