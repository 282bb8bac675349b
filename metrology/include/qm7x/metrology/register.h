// The lab's register of reference standards and its own name and address, kept in the results
// store. Entries are appended, never edited: a standard's new certificate is a new entry under the
// same identifier, and the latest entry of an identifier is the one in force.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "qm7x/results/store.h"
#include "qm7x/uncertainty/standard.h"

namespace qm7x::metrology {

struct StandardRange {
    uncertainty::StandardRange spec;
    // The standard uncertainty the standard's certificate states on this range, when it does.
    std::optional<double> certificate_standard_uncertainty_v;
};

struct StandardEntry {
    std::int64_t id = 0;  // the entry's row; 0 before it is recorded
    std::string recorded_at;
    std::string identifier;  // the lab's name for the standard, e.g. "КВ-01"
    std::string kind;
    std::string model;
    std::string serial;
    std::string certificate_number;
    std::string calibration_date;  // YYYY-MM-DD
    std::string due_date;          // YYYY-MM-DD
    std::vector<StandardRange> ranges;
    std::string added_by;  // the system user who entered it
};

// What is wrong with an entry before it is recorded (empty when nothing is): the identifier,
// the certificate number and both dates are required, the dates as YYYY-MM-DD with the due date
// after the calibration date, and every range's figures finite and non-negative.
std::string Validate(const StandardEntry& entry);

// Appends the entry; returns its id. Throws results::StoreError, or std::invalid_argument with
// Validate's text.
std::int64_t AddStandard(results::ResultsStore& store, const StandardEntry& entry);
// Every entry, oldest first.
std::vector<StandardEntry> ListStandards(results::ResultsStore& store);
// The entry in force for each identifier (the latest), by identifier.
std::vector<StandardEntry> CurrentStandards(results::ResultsStore& store);
std::optional<StandardEntry> StandardById(results::ResultsStore& store, std::int64_t id);
// The entry in force of the standard whose model and serial appear in an identification reply
// ("maker,model,serial,firmware"), as a calibrator answers *IDN?.
std::optional<StandardEntry> StandardByIdentification(results::ResultsStore& store,
                                                      const std::string& idn);

// The standard's figures at a setting, its certificate's uncertainty included.
std::optional<uncertainty::StandardAtSetting> AtSetting(const StandardEntry& entry,
                                                        double setting_v);

struct Laboratory {
    std::string name;
    std::string address;
};

// The laboratory is set once; a later setting (a move) is a new row and the latest holds.
void SetLaboratory(results::ResultsStore& store, const Laboratory& laboratory);
std::optional<Laboratory> ReadLaboratory(results::ResultsStore& store);

// Ranges as an operator types them: "upper_v ppm floor_v resolution_v [certificate_u_v]" per
// range, ";" between, decimal points. Empty with the cause in `error` when the text is not that.
std::vector<StandardRange> ParseTypedRanges(const std::string& text, std::string& error);

// One line of the register's list: identifier, kind, model, serial, certificate, dates, ranges.
std::string DescribeEntry(const StandardEntry& entry);

// Ranges as stored: "upper_v ppm floor_v resolution_v certificate_u_v|-" per range, ";" between.
std::string FormatRanges(const std::vector<StandardRange>& ranges);
std::vector<StandardRange> ParseRanges(const std::string& text);

}  // namespace qm7x::metrology
