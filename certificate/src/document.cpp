#include "qm7x/certificate/document.h"

#include <set>
#include <string_view>

#include "numbers.h"
#include "qm7x/certificate/decision.h"

namespace qm7x::certificate {

namespace {

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string OrDash(std::string_view text) {
    return text.empty() ? "—" : Escape(text);
}

// One table row: <th> cells for a header, <td> otherwise; each cell already escaped. A header
// may give the columns' widths in percent of the table's.
std::string Row(std::initializer_list<std::string> cells, bool header = false,
                std::initializer_list<int> widths = {}) {
    const std::string_view tag = header ? "th" : "td";
    std::string row = "<tr>";
    auto width = widths.begin();
    for (const std::string& cell : cells) {
        row += "<";
        row += tag;
        if (width != widths.end()) {
            row += " width=\"" + std::to_string(*width++) + "%\"";
        }
        row += ">";
        row += cell;
        row += "</";
        row += tag;
        row += ">";
    }
    return row + "</tr>\n";
}

constexpr std::string_view kTableOpen =
    "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\" "
    "style=\"font-size:7.5pt\">\n";

std::string Field(std::string_view label, std::string_view value_escaped) {
    std::string line = "<p><b>";
    line += label;
    line += "</b> ";
    line += value_escaped;
    return line + "</p>\n";
}

std::string Join(const std::set<std::string>& values) {
    std::string joined;
    for (const std::string& value : values) {
        joined += joined.empty() ? "" : "; ";
        joined += value;
    }
    return joined.empty() ? "—" : Escape(joined);
}

std::string Conditions(const Certificate& c) {
    std::set<std::string> temperatures;
    std::set<std::string> passbands;
    std::set<std::string> periods;
    for (const auto* rows : {&c.as_found, &c.as_left}) {
        for (const PointRow& row : *rows) {
            temperatures.insert(row.temperature);
            passbands.insert(row.passband);
            periods.insert(Significant(row.period_s, 6) + " с");
        }
    }
    return "<h3>Условия измерений</h3>\n" + Field("Температура:", Join(temperatures)) +
           Field("Полоса пропускания:", Join(passbands)) + Field("Период опроса:", Join(periods));
}

std::string Standards(const Certificate& c) {
    std::string html = "<h3>Применённые эталоны</h3>\n";
    if (c.standards.empty()) {
        return html + "<p>Эталон не указан.</p>\n";
    }
    html += kTableOpen;
    html += Row({"Обозначение", "Вид", "Модель", "Зав. №", "Сертификат калибровки №",
                 "Дата калибровки", "Действителен до"},
                true, {14, 15, 12, 9, 23, 13, 14});
    for (const StandardUsed& s : c.standards) {
        html += Row({OrDash(s.identifier), OrDash(s.kind), OrDash(s.model), OrDash(s.serial),
                     OrDash(s.certificate_number), OrDash(s.calibration_date), OrDash(s.due_date)});
    }
    return html + "</table>\n";
}

std::string ResultRow(int index, const PointRow& p) {
    const double deviation = p.ux_v - p.un_v;
    std::optional<double> stated_u;
    std::string u_text = "не оценена";
    int decimals = 6;
    if (p.uncertainty) {
        stated_u = RoundUpTwoDigits(p.uncertainty->expanded_v);
        decimals = DecimalsOf(*stated_u);
        u_text = Fixed(*stated_u, decimals) + " (" + Fixed(p.uncertainty->coverage_factor, 2) + ")";
    }
    const Decision decision = Decide(deviation, p.tolerance_v, stated_u);
    return Row({std::to_string(index), std::to_string(p.channel), Significant(p.range_v, 3),
                Fixed(p.un_v, decimals), Fixed(p.ux_v, decimals), Fixed(deviation, decimals),
                Significant(p.tolerance_v, 4), u_text, p.norm ? "Норма" : "Не норма",
                std::string(DecisionText(decision))});
}

std::string Results(std::string_view title, const std::vector<PointRow>& rows) {
    std::string html = "<h3>";
    html += title;
    html += "</h3>\n";
    html += kTableOpen;
    html += "<thead>";
    html += Row({"№", "Кан.", "Предел, В", "Un, В", "Ux, В", "Ux − Un, В", "Допуск, В", "U, В (k)",
                 "Результат", "Решение"},
                true, {3, 7, 8, 10, 10, 10, 8, 15, 10, 19});
    html += "</thead>\n";
    int index = 1;
    for (const PointRow& row : rows) {
        html += ResultRow(index++, row);
    }
    return html + "</table>\n";
}

std::string Coefficients(const Certificate& c) {
    std::string html = "<h3>Коэффициенты до и после настройки</h3>\n";
    if (c.coefficients.empty()) {
        return html + "<p>Коэффициенты не изменялись.</p>\n";
    }
    html += kTableOpen;
    html += Row({"Канал", "Предел, В", "До: U ≥ 0, В/код", "До: U &lt; 0, В/код",
                 "После: U ≥ 0, В/код", "После: U &lt; 0, В/код"},
                true, {8, 10, 20, 20, 21, 21});
    for (const CoefficientChange& k : c.coefficients) {
        html += Row({std::to_string(k.channel), Significant(k.range_v, 3),
                     Significant(k.before[0], 10), Significant(k.before[1], 10),
                     Significant(k.after[0], 10), Significant(k.after[1], 10)});
    }
    return html + "</table>\n";
}

bool AnyWithoutStandard(const Certificate& c) {
    for (const auto* rows : {&c.as_found, &c.as_left}) {
        for (const PointRow& row : *rows) {
            if (!row.uncertainty) {
                return true;
            }
        }
    }
    return false;
}

constexpr std::string_view kDecisionRule =
    "<h3>Правило принятия решения</h3>\n"
    "<p>«Результат» — вывод программы по наибольшему отклонению сохранённого отсчёта от Un "
    "(«Норма» / «Не норма»). «Решение» — по отклонению Ux − Un с защитной полосой w = U "
    "(ILAC-G8): «соответствует», если |Ux − Un| + U ≤ допуска; «не соответствует», если "
    "|Ux − Un| − U ≥ допуска; иначе «условно».</p>\n"
    "<h3>Неопределённость измерений</h3>\n"
    "<p>Расширенная неопределённость U = k·uc, вероятность охвата около 95 % (JCGM 100). "
    "Суммарная стандартная неопределённость uc включает: стандартное отклонение среднего "
    "сохранённых отсчётов (тип A); погрешность эталона по его нормам (равномерное "
    "распределение) или по его сертификату; разрешение эталона и шаг кода модуля (делённые на "
    "√12); допуск на температуру (равномерное распределение). k — квантиль распределения "
    "Стьюдента при эффективном числе степеней свободы по Уэлчу — Саттертуэйту; k = 2 при 50 "
    "степенях свободы и более. U указана с округлением вверх до двух значащих цифр.</p>\n";

}  // namespace

std::string DocumentHtml(const Certificate& c) {
    std::string html = "<html><body>\n";
    html += "<p align=\"center\"><b>" + OrDash(c.laboratory.name) + "</b><br/>" +
            OrDash(c.laboratory.address) + "</p>\n";
    html += "<h2 align=\"center\">СЕРТИФИКАТ КАЛИБРОВКИ № " + Escape(c.number) + "</h2>\n";
    if (c.replaces) {
        html += "<p align=\"center\">Выдан взамен сертификата № " + Escape(*c.replaces) +
                ", который считается недействительным.</p>\n";
    }
    html += Field("Средство измерений:", "измеритель напряжений QM7X, зав. № " +
                                             OrDash(c.module.serial) + ", " +
                                             OrDash(c.module.revision));
    html += Field("Носитель:", OrDash(c.module.carrier));
    html += Field("Дата калибровки:", OrDash(c.calibration_dates));
    html += Field("Дата выдачи:", OrDash(c.issue_date));
    html += Conditions(c);
    html += Standards(c);
    if (!c.as_found.empty()) {
        html += Results("Результаты до настройки", c.as_found);
        html += Results("Результаты после настройки", c.as_left);
    } else {
        html += Results("Результаты", c.as_left);
    }
    if (AnyWithoutStandard(c)) {
        html +=
            "<p>Для точек с неопределённостью «не оценена» эталон не указан: неопределённость "
            "не оценена, решение не принимается.</p>\n";
    }
    html += Coefficients(c);
    html += kDecisionRule;
    html += "<h3>Программное обеспечение</h3>\n";
    html += Field("Программа:", OrDash(c.software.program));
    // The identification line stays one line, as the program's ABOUT shows it.
    html +=
        Field("Метрологически значимая часть:<br/>",
              "<span style=\"white-space:nowrap\">" + OrDash(c.software.math_library) + "</span>");
    html +=
        "<p>Результаты относятся только к указанному средству измерений. Сертификат не "
        "может быть воспроизведён не полностью без письменного разрешения лаборатории.</p>\n";
    html += "<h3>Сертификат утвердил</h3>\n";
    html += "<p>Должность: ______________________________ Подпись: ______________</p>\n";
    html += "<p>Ф.И.О.: ______________________________ Дата: ______________</p>\n";
    return html + "</body></html>\n";
}

std::string PageFooter(const Certificate& c, int page, int pages) {
    return "Сертификат № " + c.number + ", страница " + std::to_string(page) + " из " +
           std::to_string(pages);
}

}  // namespace qm7x::certificate
