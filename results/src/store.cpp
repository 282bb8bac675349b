#include <fmt/format.h>

#include "qm7x/results/chain.h"
#include "qm7x/results/clock.h"
#include "qm7x/results/schema.h"
#include "qm7x/results/store.h"

namespace qm7x::results {
namespace {

Value Time(const std::string& recorded_at) {
    return recorded_at.empty() ? LocalTimeWithOffset() : recorded_at;
}

Value Integer(std::int64_t value) {
    return value;
}

std::string Mask(const std::vector<bool>& kept) {
    std::string mask;
    for (bool k : kept) {
        mask += k ? '1' : '0';
    }
    return mask;
}

}  // namespace

std::unique_ptr<ResultsStore> ResultsStore::Open(const std::string& location) {
    auto backend = OpenBackend(location);
    MigrateOnOpen(*backend);
    return std::make_unique<ResultsStore>(std::move(backend));
}

ResultsStore::ResultsStore(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {}

std::int64_t ResultsStore::RecordSession(const SessionRecord& s) {
    return AppendRow(*backend_, ChainedTable("qm7x_sessions"),
                     {Time(s.recorded_at), s.carrier_text, s.carrier_resource, Integer(s.position),
                      s.serial, s.revision, s.program_version, s.mathlib_ident,
                      Integer(s.mathlib_crc32), s.operator_name, s.bench});
}

std::int64_t ResultsStore::RecordPoint(const PointRecord& p) {
    return AppendRow(*backend_, ChainedTable("qm7x_points"),
                     {Integer(p.session_id),
                      Time(p.recorded_at),
                      Integer(p.channel),
                      p.range_v,
                      p.passband,
                      p.period_s,
                      p.temperature,
                      p.un,
                      FormatIntegers(p.raw_codes),
                      FormatReals(p.volts),
                      Mask(p.kept),
                      p.ux,
                      p.dus,
                      p.dumax,
                      p.axs,
                      p.axmax,
                      p.an,
                      p.verdict,
                      p.mode,
                      p.phase,
                      p.calibrator,
                      p.protocol_file,
                      Integer(p.protocol_offset)});
}

std::int64_t ResultsStore::RecordCalibration(const CalibrationRecord& c) {
    Value crc = c.record_crc32 ? Integer(*c.record_crc32) : Value{};
    return AppendRow(
        *backend_, ChainedTable("qm7x_calibrations"),
        {Integer(c.session_id), Time(c.recorded_at), Integer(c.channel), c.gain_first_before,
         c.gain_second_before, c.gain_first_after, c.gain_second_after, c.reference_positive_v,
         c.reference_negative_v, crc, c.calibration_log, Integer(c.log_offset)});
}

std::int64_t ResultsStore::RecordEvent(const EventRecord& e) {
    return AppendRow(*backend_, ChainedTable("qm7x_events"),
                     {Integer(e.session_id), Time(e.recorded_at), e.kind, Integer(e.channel),
                      Integer(e.status), e.detail});
}

PointRecord ResultsStore::ReadPoint(std::int64_t id) {
    Value key = id;
    auto rows = backend_->Query(
        "SELECT session_id, recorded_at, channel, range_v, passband, period_s, temperature, un, "
        "raw_codes, volts, kept_mask, ux, dus, dumax, axs, axmax, an, verdict, mode, phase, "
        "calibrator, protocol_file, protocol_offset FROM qm7x_points WHERE id = ?",
        {&key, 1});
    if (rows.empty()) {
        throw StoreError(fmt::format("{}: no point {}", Describe(), id));
    }
    const auto& r = rows.front();
    PointRecord p;
    p.session_id = AsInteger(r[0]);
    p.recorded_at = AsText(r[1]);
    p.channel = static_cast<int>(AsInteger(r[2]));
    p.range_v = AsRealOrNaN(r[3]);
    p.passband = AsText(r[4]);
    p.period_s = AsRealOrNaN(r[5]);
    p.temperature = AsText(r[6]);
    p.un = AsRealOrNaN(r[7]);
    p.raw_codes = ParseIntegers(AsText(r[8]));
    p.volts = ParseReals(AsText(r[9]));
    for (char c : AsText(r[10])) {
        p.kept.push_back(c == '1');
    }
    p.ux = AsRealOrNaN(r[11]);
    p.dus = AsRealOrNaN(r[12]);
    p.dumax = AsRealOrNaN(r[13]);
    p.axs = AsRealOrNaN(r[14]);
    p.axmax = AsRealOrNaN(r[15]);
    p.an = AsRealOrNaN(r[16]);
    p.verdict = AsText(r[17]);
    p.mode = AsText(r[18]);
    p.phase = AsText(r[19]);
    p.calibrator = AsText(r[20]);
    p.protocol_file = AsText(r[21]);
    p.protocol_offset = AsInteger(r[22]);
    return p;
}

}  // namespace qm7x::results
