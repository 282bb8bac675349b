// A module's history: three indexed queries for one serial, however many sessions the store
// holds of other modules.
#include <unordered_map>

#include "qm7x/results/store.h"

namespace qm7x::results {
std::vector<SessionHistory> ResultsStore::History(const std::string& serial) {
    Value key = serial;
    std::span<const Value> params{&key, 1};
    std::vector<SessionHistory> sessions;
    std::unordered_map<std::int64_t, std::size_t> index;
    for (const auto& r : backend_->Query(
             "SELECT id, recorded_at, carrier_text, revision, operator, bench, program_version "
             "FROM qm7x_sessions WHERE serial = ? ORDER BY id",
             params)) {
        SessionHistory s;
        s.id = AsInteger(r[0]);
        s.recorded_at = AsText(r[1]);
        s.carrier_text = AsText(r[2]);
        s.revision = AsText(r[3]);
        s.operator_name = AsText(r[4]);
        s.bench = AsText(r[5]);
        s.program_version = AsText(r[6]);
        index[s.id] = sessions.size();
        sessions.push_back(std::move(s));
    }
    if (sessions.empty()) {
        return sessions;
    }
    for (const auto& r : backend_->Query(
             "SELECT p.session_id, p.id, p.recorded_at, p.channel, p.range_v, p.un, p.ux, p.dus, "
             "p.dumax, p.verdict, p.mode, p.phase FROM qm7x_points p JOIN qm7x_sessions s "
             "ON s.id = p.session_id WHERE s.serial = ? ORDER BY p.id",
             params)) {
        PointSummary p;
        p.id = AsInteger(r[1]);
        p.recorded_at = AsText(r[2]);
        p.channel = static_cast<int>(AsInteger(r[3]));
        p.range_v = AsRealOrNaN(r[4]);
        p.un = AsRealOrNaN(r[5]);
        p.ux = AsRealOrNaN(r[6]);
        p.dus = AsRealOrNaN(r[7]);
        p.dumax = AsRealOrNaN(r[8]);
        p.verdict = AsText(r[9]);
        p.mode = AsText(r[10]);
        p.phase = AsText(r[11]);
        sessions[index.at(AsInteger(r[0]))].points.push_back(std::move(p));
    }
    for (const auto& r : backend_->Query(
             "SELECT c.session_id, c.id, c.recorded_at, c.channel, c.gain_first_before, "
             "c.gain_second_before, c.gain_first_after, c.gain_second_after "
             "FROM qm7x_calibrations c JOIN qm7x_sessions s ON s.id = c.session_id "
             "WHERE s.serial = ? ORDER BY c.id",
             params)) {
        CalibrationSummary c;
        c.id = AsInteger(r[1]);
        c.recorded_at = AsText(r[2]);
        c.channel = static_cast<int>(AsInteger(r[3]));
        c.gain_first_before = AsRealOrNaN(r[4]);
        c.gain_second_before = AsRealOrNaN(r[5]);
        c.gain_first_after = AsRealOrNaN(r[6]);
        c.gain_second_after = AsRealOrNaN(r[7]);
        sessions[index.at(AsInteger(r[0]))].calibrations.push_back(std::move(c));
    }
    return sessions;
}

}  // namespace qm7x::results
