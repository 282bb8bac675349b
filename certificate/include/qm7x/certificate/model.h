// The calibration certificate as plain data: everything it states, gathered from the results
// store (or made by a test), with nothing of how it is drawn.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace qm7x::certificate {

struct Laboratory {
    std::string name;
    std::string address;
};

struct ModuleIdentity {
    std::string serial;
    std::string revision;  // the module's revision text, as its driver gives it
    std::string carrier;   // the carrier's descriptive text
};

// A reference standard as the register lists it.
struct StandardUsed {
    std::string identifier;
    std::string kind;
    std::string model;
    std::string serial;
    std::string certificate_number;
    std::string calibration_date;  // YYYY-MM-DD
    std::string due_date;          // YYYY-MM-DD
};

struct PointUncertainty {
    double expanded_v = 0.0;  // U
    double coverage_factor = 0.0;
    double effective_dof = 0.0;
};

struct PointRow {
    int channel = 0;
    double range_v = 0.0;
    double un_v = 0.0;
    double ux_v = 0.0;
    double tolerance_v = 0.0;  // the permitted deviation, temperature allowance included
    bool norm = false;         // the program's verdict: "Норма" / "Не норма"
    std::optional<PointUncertainty> uncertainty;  // none when no standard was named
    std::string standard_identifier;              // empty: "не указан"
    std::string recorded_at;                      // ISO 8601
    std::string temperature;                      // the temperature choice as the page shows it
    std::string passband;                         // the passband ring's text
    double period_s = 0.0;
};

struct CoefficientChange {
    int channel = 0;
    double range_v = 0.0;
    std::array<double, 2> before{};  // volts per code: non-negative input, negative input
    std::array<double, 2> after{};
};

struct Software {
    std::string program;       // e.g. "p_qm7x 1.2.1"
    std::string math_library;  // the identification line of the math library, its CRC-32 in it
};

struct Certificate {
    std::string number;
    std::optional<std::string> replaces;  // the number of the certificate this one reissues
    Laboratory laboratory;
    ModuleIdentity module;
    std::string calibration_dates;  // the first and the last day of the points
    std::string issue_date;
    std::vector<StandardUsed> standards;
    std::vector<PointRow> as_found;  // empty when the results are of one phase only
    std::vector<PointRow> as_left;   // the results as left, or the only results
    std::vector<CoefficientChange> coefficients;
    Software software;
};

}  // namespace qm7x::certificate
