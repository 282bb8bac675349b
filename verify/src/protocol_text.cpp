#include "qm7x/verify/protocol_text.h"

#include "qm7x/verify/printf_numbers.h"

namespace qm7x::verify {

std::string TimeStampText(const os::LocalTime& t) {
    return "\nВремя:" + std::to_string(t.hours) + ":" + std::to_string(t.minutes) + ":" +
           std::to_string(t.seconds) + ", Дата: " + std::to_string(t.month) + "-" +
           std::to_string(t.day) + "-" + std::to_string(t.year) + " \n";
}

std::string PointHeading(double periodSeconds) {
    return "период семплирования " + FormatExp(periodSeconds, 3) + " с";
}

std::string ColumnHeader(int channel) {
    return "         Канал " + std::to_string(channel) +
           "\n   Un,         Ux,         dUs,         dUmax,         Axs,      Axmax,     An,"
           "   Результат\n";
}

std::string ResultRow(const DeviationResult& r, double un) {
    const int decimals = r.digits + 1;
    std::string row = FormatExp(un, decimals) + ", " + FormatExp(r.ux, decimals) + ", " +
                      FormatExp(r.ux - un, 1) + ", " + FormatExp(r.dUmax, 4, 3) + ", ";
    if (r.judgedInVolts) {
        row += std::string(kNotApplicable) + ", " + kNotApplicable + ", " + kNotApplicable;
    } else {
        row += FormatFixed(r.axs, 4, 3) + "%, " + FormatFixed(r.axmax, 4, 3) + "%, " +
               FormatFixed(r.an, 3, 3) + "%";
    }
    row += "   ";
    row += r.verdict != 0 ? kOutOf : kWithin;
    row += "\n";
    return row;
}

}  // namespace qm7x::verify
