#include "qm7x/metrology/certificate_from_store.h"

#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "qm7x/metrology/budgets.h"
#include "qm7x/metrology/register.h"

namespace qm7x::metrology {

namespace {

using results::AsInteger;
using results::AsText;
using results::Value;

struct SessionFacts {
    std::string serial, revision, carrier, program, mathlib;
};

std::map<std::int64_t, SessionFacts> Sessions(results::ResultsStore& store,
                                              const std::string& serial) {
    const Value key = serial;
    std::map<std::int64_t, SessionFacts> sessions;
    for (const auto& r : store.backend().Query(
             "SELECT id, serial, revision, carrier_text, program_version, mathlib_ident, "
             "mathlib_crc32 FROM qm7x_sessions WHERE serial = ? ORDER BY id",
             {&key, 1})) {
        std::string mathlib = AsText(r[5]);
        if (mathlib.find("CRC32") == std::string::npos && !results::IsNull(r[6])) {
            char crc[16];
            std::snprintf(crc, sizeof crc, "%08llX",
                          static_cast<unsigned long long>(AsInteger(r[6])));
            mathlib += (mathlib.empty() ? "CRC32=" : ", CRC32=") + std::string(crc);
        }
        sessions[AsInteger(r[0])] = {AsText(r[1]), AsText(r[2]), AsText(r[3]),
                                     "p_qm7x " + AsText(r[4]), mathlib};
    }
    return sessions;
}

bool Selected(const Selection& s, std::int64_t session_id, const std::string& recorded_at) {
    if (s.session_id != 0) {
        return session_id == s.session_id;
    }
    const std::string day = recorded_at.substr(0, 10);
    return day >= s.from_date && day <= s.to_date;
}

// The mean of the kept samples as recorded; the protocol's Ux is that mean snapped to Un plus the
// deviation rounded to two digits, which would add its rounding to the deviation U is stated for.
double KeptMean(const results::PointRecord& p) {
    double sum = 0.0;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < p.volts.size() && i < p.kept.size(); ++i) {
        if (p.kept[i]) {
            sum += p.volts[i];
            ++kept;
        }
    }
    return kept > 0 && p.kept.size() == p.volts.size() ? sum / static_cast<double>(kept) : p.ux;
}

std::string Joined(const std::set<std::string>& values) {
    std::string text;
    for (const std::string& value : values) {
        text += (text.empty() ? "" : "; ") + value;
    }
    return text;
}

}  // namespace

GatheredCertificate GatherCertificate(results::ResultsStore& store, const Selection& selection,
                                      const std::string& number, const std::string& issue_date) {
    GatheredCertificate out;
    certificate::Certificate& c = out.certificate;
    c.number = number;
    c.issue_date = issue_date;
    const auto laboratory = ReadLaboratory(store);
    if (!laboratory) {
        out.error = "в хранилище результатов не заданы наименование и адрес лаборатории";
        return out;
    }
    c.laboratory = {laboratory->name, laboratory->address};

    const auto sessions = Sessions(store, selection.serial);
    nlohmann::json inputs = {{"serial", selection.serial},
                             {"selection", selection.Describe()},
                             {"laboratory", laboratory->name}};
    std::vector<results::PointRecord> points;
    std::vector<std::int64_t> point_ids;
    std::set<std::string> programs, mathlibs, days;
    std::map<int, double> range_of_channel;
    std::int64_t last_session = 0;
    for (const auto& history : store.History(selection.serial)) {
        for (const auto& summary : history.points) {
            if (!Selected(selection, history.id, summary.recorded_at)) {
                continue;
            }
            points.push_back(store.ReadPoint(summary.id));
            point_ids.push_back(summary.id);
            days.insert(summary.recorded_at.substr(0, 10));
            range_of_channel[summary.channel] = summary.range_v;
            const SessionFacts& facts = sessions.at(history.id);
            programs.insert(facts.program);
            mathlibs.insert(facts.mathlib);
            last_session = history.id;
        }
    }
    if (points.empty()) {
        out.error =
            "нет точек поверки модуля " + selection.serial + " (" + selection.Describe() + ")";
        return out;
    }
    const SessionFacts& module = sessions.at(last_session);
    c.module = {module.serial, module.revision, module.carrier};
    c.calibration_dates = *days.begin() + (days.size() > 1 ? " — " + *days.rbegin() : "");
    c.software = {Joined(programs), Joined(mathlibs)};

    const auto budgets = ReadBudgets(store, point_ids);
    std::set<std::int64_t> standard_ids;
    std::map<std::int64_t, std::string> identifier_of;
    bool phased = false;
    for (const auto& p : points) {
        phased = phased || p.phase == "as_found";
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        const results::PointRecord& p = points[i];
        certificate::PointRow row;
        row.channel = p.channel;
        row.range_v = p.range_v;
        row.un_v = p.un;
        row.ux_v = KeptMean(p);
        row.tolerance_v =
            std::isfinite(p.an) && p.un != 0.0 ? p.an * std::fabs(p.un) / 100.0 : std::nan("");
        row.norm = p.verdict == "Норма";
        row.recorded_at = p.recorded_at;
        row.temperature = p.temperature;
        row.passband = p.passband;
        row.period_s = p.period_s;
        if (const auto found = budgets.find(point_ids[i]); found != budgets.end()) {
            const StoredBudget& b = found->second;
            row.tolerance_v = b.tolerance_v;
            if (b.standard_id != 0) {
                standard_ids.insert(b.standard_id);
            }
            if (b.budget) {
                row.uncertainty = certificate::PointUncertainty{
                    b.budget->expanded_v, b.budget->coverage_factor, b.budget->effective_dof};
            }
        }
        (phased && p.phase == "as_found" ? c.as_found : c.as_left).push_back(std::move(row));
    }
    for (std::int64_t id : standard_ids) {
        if (const auto s = StandardById(store, id)) {
            c.standards.push_back({s->identifier, s->kind, s->model, s->serial,
                                   s->certificate_number, s->calibration_date, s->due_date});
        }
    }
    std::vector<std::int64_t> calibration_ids;
    for (const auto& history : store.History(selection.serial)) {
        for (const auto& k : history.calibrations) {
            if (!Selected(selection, history.id, k.recorded_at)) {
                continue;
            }
            calibration_ids.push_back(k.id);
            const auto range = range_of_channel.find(k.channel);
            c.coefficients.push_back(
                {k.channel,
                 range == range_of_channel.end() ? std::nan("") : range->second,
                 {k.gain_first_before, k.gain_second_before},
                 {k.gain_first_after, k.gain_second_after}});
        }
    }
    inputs["points"] = point_ids;
    inputs["calibrations"] = calibration_ids;
    inputs["standards"] = standard_ids;
    out.inputs = inputs.dump();
    return out;
}

}  // namespace qm7x::metrology
