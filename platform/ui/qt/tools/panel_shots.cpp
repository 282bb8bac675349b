// qm7x_panel_shots: renders the panels of the program's resource through the run-time and the
// Qt front end into PNG files, for reviewing the layout without running the program.
//
//   qm7x_panel_shots [output directory]      (default: screenshots)
//
// The panels are shown as the program shows them at start (the calibration page active, the
// temperature frame behind its group), with sample texts in the fields the program fills, so
// that clipped or overlapping texts can be seen.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "p_qm7x.h"
#include "qm7x/ui/qt/qt_frontend.h"
#include "qm7x/ui/userint.h"

namespace {

using namespace qm7x::ui;

struct Shot {
    int panel;
    std::string name;
};

int Load(int resourceId) {
    const int panel = LoadPanel(0, "p_qm7x.uir", resourceId);
    if (panel < 0) {
        std::fprintf(stderr, "panel %d: %s\n", resourceId, GetUILErrorString(panel));
    }
    return panel;
}

bool Save(const Shot& shot, const std::filesystem::path& dir) {
    DisplayPanel(shot.panel);
    ProcessSystemEvents();
    const std::string path = (dir / (shot.name + ".png")).string();
    const int status = SavePanelImage(shot.panel, path);
    if (status < 0) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), GetUILErrorString(status));
        return false;
    }
    std::printf("%s\n", path.c_str());
    HidePanel(shot.panel);
    return true;
}

void FillSamples(int mp, int cp, int pp, int about, int chlp) {
    // What the start-up writes, and a status line as a driver error shows it.
    SetCtrlVal(about, ABOUT_SOFT_VERSION, "1.2.1");
    SetCtrlVal(about, ABOUT_DRVR_VERSION, "trqm7x 2.4.0 / firmware 1.07");
    SetCtrlVal(about, ABOUT_CERT_MSG, "trqm7x_math.dll  v.1.0.0.3  от 12.03.2024  CRC: 7A3F19C2");
    SetCtrlVal(mp, MP_ERROR_MESSAGE,
               "Ошибка: истекло время ожидания ответа мезонина (-1074000000)");
    SetCtrlAttribute(mp, MP_ERROR_MESSAGE, ATTR_TEXT_COLOR, VAL_RED);
    InsertListItem(mp, MP_MEZ_NUM, -1, "1", 1);
    InsertListItem(mp, MP_MEZ_NUM, -1, "3", 3);
    // A loaded coefficient record.
    const double gains[] = {1.000123, 0.999871, 1.000456, 0.999602, 1.001002, 0.998995};
    for (int row = 1; row <= 3; ++row) {
        SetTableCellVal(cp, CP_TABLE, MakePoint(1, row), gains[2 * (row - 1)]);
        SetTableCellVal(cp, CP_TABLE, MakePoint(2, row), gains[2 * (row - 1) + 1]);
    }
    const double ranges[] = {10.0, 1.0, 0.1};
    const double tests[] = {9.0, 0.9, 0.09};
    SetTableCellRangeVals(cp, CP_TABLE, MakeRect(1, 3, 3, 1), ranges, VAL_COLUMN_MAJOR);
    SetTableCellRangeVals(cp, CP_TABLE, MakeRect(1, 4, 3, 1), tests, VAL_COLUMN_MAJOR);
    SetCtrlVal(pp, PP_U, 5.0);
    // Sample lines, not a measurement: they show the fixed-pitch font and the column alignment.
    SetPanelAttribute(chlp, ATTR_TITLE,
                      "Протокол поверки: мезонин 1, Н.М.  Л.А.крейта:0x01, слот:5");
    const char* lines[] = {
        "Протокол поверки мезонина QM7X",
        "Дата: 07.12.2026  Время: 04:30:12",
        "",
        "Канал 1, диапазон 10 В, полоса менее 500 кГц, температура +18 ... +22 C",
        " Uн, В      Uизм, В     Систем., %  Макс., %   Допуск, %  Результат",
        "  5.000000   5.000412    0.0082      0.0121      0.0250     Норма",
        " -5.000000  -4.998106   -0.0379      0.0417      0.0250     Не норма",
    };
    for (const char* line : lines) {
        InsertTextBoxLine(chlp, CHLP_LOG, -1, line);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path dir = argc > 1 ? argv[1] : "screenshots";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "%s: %s\n", dir.string().c_str(), error.message().c_str());
        return 1;
    }
    auto frontEnd = qm7x::ui::qt::InstallQtFrontEnd(argc, argv);
    if (InitUserInterface(argc, argv) < 0) {
        std::fprintf(stderr, "the user interface cannot start\n");
        return 1;
    }
    const int st = Load(ST);
    const int about = Load(ABOUT);
    const int exitPopup = Load(EXIT_POPUP);
    const int chlp = Load(CHLP);
    const int mp = Load(MP);
    std::vector<int> others;
    for (const int id : {P1, P2, P3, P4, VP, TP}) {
        others.push_back(Load(id));
    }
    int cp = 0;
    int pp = 0;
    if (st < 0 || about < 0 || exitPopup < 0 || chlp < 0 || mp < 0 ||
        GetPanelHandleFromTabPage(mp, MP_TAB, 0, cp) < 0 ||
        GetPanelHandleFromTabPage(mp, MP_TAB, 1, pp) < 0) {
        return 1;
    }
    SetActiveTabPage(mp, MP_TAB, 0);
    SetCtrlAttribute(pp, PP_DECOR, ATTR_ZPLANE_POSITION, 100);  // as the program's start-up
    FillSamples(mp, cp, pp, about, chlp);

    bool ok = true;
    ok = Save({mp, "mp_calibration"}, dir) && ok;
    SetActiveTabPage(mp, MP_TAB, 1);
    ok = Save({mp, "mp_verification"}, dir) && ok;
    ok = Save({about, "about"}, dir) && ok;
    ok = Save({st, "st"}, dir) && ok;
    ok = Save({exitPopup, "exit_popup"}, dir) && ok;
    ok = Save({chlp, "chlp"}, dir) && ok;
    const char* names[] = {"p1", "p2", "p3", "p4", "vp", "tp"};
    for (std::size_t i = 0; i < others.size(); ++i) {
        ok = others[i] > 0 && Save({others[i], names[i]}, dir) && ok;
    }
    ResetUserInterface();
    return ok ? 0 : 1;
}
