#include "qm7x/metrology/register.h"

#include <charconv>
#include <cmath>
#include <sstream>
#include <stdexcept>

#include "qm7x/results/chain.h"
#include "qm7x/results/clock.h"
#include "qm7x/results/schema.h"

namespace qm7x::metrology {

namespace {

using results::AsInteger;
using results::AsText;
using results::Value;

bool IsDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool Sound(double figure) {
    return std::isfinite(figure) && figure >= 0.0;
}

constexpr const char* kColumns =
    "id, recorded_at, identifier, kind, model, serial, certificate_number, calibration_date, "
    "due_date, ranges, added_by";

StandardEntry FromRow(const results::Row& r) {
    StandardEntry e;
    e.id = AsInteger(r[0]);
    e.recorded_at = AsText(r[1]);
    e.identifier = AsText(r[2]);
    e.kind = AsText(r[3]);
    e.model = AsText(r[4]);
    e.serial = AsText(r[5]);
    e.certificate_number = AsText(r[6]);
    e.calibration_date = AsText(r[7]);
    e.due_date = AsText(r[8]);
    e.ranges = ParseRanges(AsText(r[9]));
    e.added_by = AsText(r[10]);
    return e;
}

std::vector<StandardEntry> Select(results::ResultsStore& store, const std::string& where,
                                  std::span<const Value> params = {}) {
    std::vector<StandardEntry> entries;
    for (const auto& row : store.backend().Query(
             std::string("SELECT ") + kColumns + " FROM qm7x_standards " + where, params)) {
        entries.push_back(FromRow(row));
    }
    return entries;
}

double ParseFigure(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        throw results::StoreError("register of standards: not a number in a range: \"" +
                                  std::string(text) + "\"");
    }
    return value;
}

}  // namespace

std::string Validate(const StandardEntry& e) {
    if (e.identifier.empty()) {
        return "не указано обозначение эталона";
    }
    if (e.certificate_number.empty()) {
        return "не указан номер сертификата калибровки эталона";
    }
    if (!IsDate(e.calibration_date) || !IsDate(e.due_date)) {
        return "даты калибровки и действия пишутся как ГГГГ-ММ-ДД";
    }
    if (e.due_date <= e.calibration_date) {
        return "срок действия должен быть позже даты калибровки";
    }
    if (e.ranges.empty()) {
        return "не указан ни один предел эталона";
    }
    for (const StandardRange& range : e.ranges) {
        if (!Sound(range.spec.upper_v) || range.spec.upper_v == 0.0 ||
            !Sound(range.spec.accuracy_ppm) || !Sound(range.spec.accuracy_floor_v) ||
            !Sound(range.spec.resolution_v) ||
            (range.certificate_standard_uncertainty_v &&
             !Sound(*range.certificate_standard_uncertainty_v))) {
            return "характеристики предела должны быть неотрицательными числами";
        }
    }
    return {};
}

std::int64_t AddStandard(results::ResultsStore& store, const StandardEntry& e) {
    if (const std::string problem = Validate(e); !problem.empty()) {
        throw std::invalid_argument(problem);
    }
    const Value recorded_at =
        e.recorded_at.empty() ? Value{results::LocalTimeWithOffset()} : Value{e.recorded_at};
    return results::AppendRow(
        store.backend(), results::ChainedTable("qm7x_standards"),
        {recorded_at, e.identifier, e.kind, e.model, e.serial, e.certificate_number,
         e.calibration_date, e.due_date, FormatRanges(e.ranges), e.added_by});
}

std::vector<StandardEntry> ListStandards(results::ResultsStore& store) {
    return Select(store, "ORDER BY id");
}

std::vector<StandardEntry> CurrentStandards(results::ResultsStore& store) {
    return Select(store,
                  "WHERE id IN (SELECT MAX(id) FROM qm7x_standards GROUP BY identifier) "
                  "ORDER BY identifier");
}

std::optional<StandardEntry> StandardById(results::ResultsStore& store, std::int64_t id) {
    const Value key = id;
    auto entries = Select(store, "WHERE id = ?", {&key, 1});
    if (entries.empty()) {
        return std::nullopt;
    }
    return entries.front();
}

std::optional<StandardEntry> StandardByIdentification(results::ResultsStore& store,
                                                      const std::string& idn) {
    // maker,model,serial,firmware: the model and the serial name the standard.
    std::vector<std::string> fields;
    std::string field;
    for (char c : idn + ",") {
        if (c == ',') {
            const auto first = field.find_first_not_of(" \t\r\n");
            const auto last = field.find_last_not_of(" \t\r\n");
            fields.push_back(first == std::string::npos ? ""
                                                        : field.substr(first, last - first + 1));
            field.clear();
        } else {
            field += c;
        }
    }
    if (fields.size() < 3 || fields[1].empty() || fields[2].empty()) {
        return std::nullopt;
    }
    for (StandardEntry& entry : CurrentStandards(store)) {
        if (entry.model == fields[1] && entry.serial == fields[2]) {
            return std::move(entry);
        }
    }
    return std::nullopt;
}

std::optional<uncertainty::StandardAtSetting> AtSetting(const StandardEntry& entry,
                                                        double setting_v) {
    std::vector<uncertainty::StandardRange> specs;
    for (const StandardRange& range : entry.ranges) {
        specs.push_back(range.spec);
    }
    auto at = uncertainty::AtSetting(specs, setting_v);
    if (!at) {
        return at;
    }
    // The certificate's uncertainty of the range the figures came from.
    const StandardRange* chosen = nullptr;
    for (const StandardRange& range : entry.ranges) {
        if (std::fabs(setting_v) <= range.spec.upper_v &&
            (chosen == nullptr || range.spec.upper_v < chosen->spec.upper_v)) {
            chosen = &range;
        }
    }
    at->certificate_standard_uncertainty_v = chosen->certificate_standard_uncertainty_v;
    return at;
}

void SetLaboratory(results::ResultsStore& store, const Laboratory& laboratory) {
    if (laboratory.name.empty() || laboratory.address.empty()) {
        throw std::invalid_argument("наименование и адрес лаборатории обязательны");
    }
    results::AppendRow(store.backend(), results::ChainedTable("qm7x_laboratory"),
                       {results::LocalTimeWithOffset(), laboratory.name, laboratory.address});
}

std::optional<Laboratory> ReadLaboratory(results::ResultsStore& store) {
    auto rows =
        store.backend().Query("SELECT name, address FROM qm7x_laboratory ORDER BY id DESC LIMIT 1");
    if (rows.empty()) {
        return std::nullopt;
    }
    return Laboratory{AsText(rows.front()[0]), AsText(rows.front()[1])};
}

std::vector<StandardRange> ParseTypedRanges(const std::string& text, std::string& error) {
    std::vector<StandardRange> ranges;
    std::string_view rest = text;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        std::istringstream item{std::string(rest.substr(0, end))};
        std::vector<std::string> fields;
        for (std::string field; item >> field;) {
            fields.push_back(field);
        }
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (fields.empty()) {
            continue;
        }
        if (fields.size() < 4 || fields.size() > 5) {
            error = "предел задаётся четырьмя или пятью числами: «" +
                    std::string(text.substr(0, 80)) + "»";
            return {};
        }
        try {
            StandardRange range;
            range.spec = {ParseFigure(fields[0]), ParseFigure(fields[1]), ParseFigure(fields[2]),
                          ParseFigure(fields[3])};
            if (fields.size() == 5) {
                range.certificate_standard_uncertainty_v = ParseFigure(fields[4]);
            }
            ranges.push_back(range);
        } catch (const results::StoreError&) {
            error = "не число в пределах эталона (десятичная точка, не запятая): «" + text + "»";
            return {};
        }
    }
    if (ranges.empty()) {
        error = "не указан ни один предел эталона";
    }
    return ranges;
}

std::string DescribeEntry(const StandardEntry& e) {
    std::string ranges;
    for (const StandardRange& r : e.ranges) {
        ranges += (ranges.empty() ? "" : "; ") + results::FormatReal(r.spec.upper_v) +
                  " В: " + results::FormatReal(r.spec.accuracy_ppm) + " ppm + " +
                  results::FormatReal(r.spec.accuracy_floor_v) + " В";
    }
    return std::to_string(e.id) + ". " + e.identifier + ", " + e.kind + ", " + e.model +
           ", зав. № " + e.serial + ", сертификат " + e.certificate_number + " от " +
           e.calibration_date + ", до " + e.due_date + " (" + ranges + ")";
}

std::string FormatRanges(const std::vector<StandardRange>& ranges) {
    std::string text;
    for (const StandardRange& range : ranges) {
        text += text.empty() ? "" : ";";
        text += results::FormatReal(range.spec.upper_v) + " " +
                results::FormatReal(range.spec.accuracy_ppm) + " " +
                results::FormatReal(range.spec.accuracy_floor_v) + " " +
                results::FormatReal(range.spec.resolution_v) + " " +
                (range.certificate_standard_uncertainty_v
                     ? results::FormatReal(*range.certificate_standard_uncertainty_v)
                     : std::string("-"));
    }
    return text;
}

std::vector<StandardRange> ParseRanges(const std::string& text) {
    std::vector<StandardRange> ranges;
    std::string_view rest = text;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        std::string_view item = rest.substr(0, end);
        std::vector<std::string_view> fields;
        while (!item.empty()) {
            const auto space = item.find(' ');
            fields.push_back(item.substr(0, space));
            item = space == std::string_view::npos ? std::string_view{} : item.substr(space + 1);
        }
        if (fields.size() != 5) {
            throw results::StoreError("register of standards: a range is not five figures: \"" +
                                      text + "\"");
        }
        StandardRange range;
        range.spec = {ParseFigure(fields[0]), ParseFigure(fields[1]), ParseFigure(fields[2]),
                      ParseFigure(fields[3])};
        if (fields[4] != "-") {
            range.certificate_standard_uncertainty_v = ParseFigure(fields[4]);
        }
        ranges.push_back(range);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    return ranges;
}

}  // namespace qm7x::metrology
