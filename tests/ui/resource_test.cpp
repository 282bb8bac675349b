// The program's panel resource: fixed numbers, texts, defaults and states of the panels.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "p_qm7x.h"
#include "qm7x/ui/frontend.h"
#include "qm7x/ui/model.h"

namespace qm7x::ui {
namespace {

constexpr std::string_view kFile = "p_qm7x.uir";

TEST(ResourceNumbers, AreFixed) {
    struct Case {
        int constant;
        int number;
        const char* name;
    } cases[] = {
        {ABOUT, 1, "ABOUT"},
        {CHLP, 2, "CHLP"},
        {EXIT_POPUP, 3, "EXIT_POPUP"},
        {MP, 4, "MP"},
        {P1, 5, "P1"},
        {P2, 6, "P2"},
        {P3, 7, "P3"},
        {P4, 8, "P4"},
        {ST, 9, "ST"},
        {TP, 10, "TP"},
        {VP, 11, "VP"},
        {MP_ERROR_MESSAGE, 10, "MP_ERROR_MESSAGE"},
        {MP_TAB, 11, "MP_TAB"},
        {PP_FILE_NAME, 7, "PP_FILE_NAME"},
        {CP_TABLE, 2, "CP_TABLE"},
        {MP_MEZ_SELECT, 2, "MP_MEZ_SELECT"},
        {MP_MP_EXIT, 3, "MP_MP_EXIT"},
        {MP_ERROR_MESSAGE_OK, 15, "MP_ERROR_MESSAGE_OK"},
        {MP_CALIBR, 19, "MP_CALIBR"},
        {CP_RING_LINE, 13, "CP_RING_LINE"},
        {CP_RANGE, 10, "CP_RANGE"},
        {CP_TEST_U, 9, "CP_TEST_U"},
        {PP_PERIOD, 10, "PP_PERIOD"},
        {PP_TEMPERATURE, 13, "PP_TEMPERATURE"},
        {PP_DECOR, 12, "PP_DECOR"},
        {PP_TEMPERATURE_20, 16, "PP_TEMPERATURE_20"},
        {ST_RESULT, 2, "ST_RESULT"},
        {ST_MSG_PERIOD, 3, "ST_MSG_PERIOD"},
        {ST_MSG, 4, "ST_MSG"},
        {ST_CLOSE, 5, "ST_CLOSE"},
        {ABOUT_CERT_MSG, 5, "ABOUT_CERT_MSG"},
        {ABOUT_DRVR_VERSION, 7, "ABOUT_DRVR_VERSION"},
        {EXIT_POPUP_EXIT_YES, 2, "EXIT_POPUP_EXIT_YES"},
        {CHLP_LOG, 2, "CHLP_LOG"},
        {CHLP_COMMANDBUTTON_2, 3, "CHLP_COMMANDBUTTON_2"},
        {CHLP_PLOT, 4, "CHLP_PLOT"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.constant, c.number) << c.name;
    }
}

class ResourceTest : public ::testing::Test {
  protected:
    void TearDown() override { ResetUserInterface(); }
    static int Load(int id) {
        const int h = LoadPanel(0, kFile, id);
        EXPECT_GT(h, 0) << "panel " << id;
        return h;
    }
    static std::string Text(int panel, int control) {
        std::string s;
        EXPECT_EQ(GetCtrlVal(panel, control, s), 0) << control;
        return s;
    }
    static std::string Label(int panel, int control) {
        std::string s;
        EXPECT_EQ(GetCtrlAttribute(panel, control, ATTR_LABEL_TEXT, s), 0) << control;
        return s;
    }
    static int Attr(int panel, int control, int attribute) {
        int v = -1;
        EXPECT_EQ(GetCtrlAttribute(panel, control, attribute, v), 0) << control;
        return v;
    }
    static std::string Title(int panel) {
        std::string s;
        EXPECT_EQ(GetPanelAttribute(panel, ATTR_TITLE, s), 0);
        return s;
    }
};

TEST_F(ResourceTest, EveryPanelLoadsAndControlsAreNumberedFromTwo) {
    for (int id : {ST, ABOUT, EXIT_POPUP, P1, P2, P3, P4, VP, MP, TP, CHLP}) {
        const int h = Load(id);
        const Panel* p = FindPanel(h);
        ASSERT_NE(p, nullptr);
        std::set<int> ids;
        for (const Control& c : p->controls) {
            EXPECT_GE(c.id, 2) << p->constant << "." << c.constant;
            EXPECT_TRUE(ids.insert(c.id).second) << p->constant << "." << c.constant;
            // Nothing lies outside its panel.
            EXPECT_LE(c.geometry.left + c.geometry.width, p->geometry.width)
                << p->constant << "." << c.constant;
            EXPECT_LE(c.geometry.top + c.geometry.height, p->geometry.height)
                << p->constant << "." << c.constant;
        }
    }
    EXPECT_EQ(LoadPanel(0, kFile, 42), UIEPanelNotInResource);
}

TEST_F(ResourceTest, PanelTitlesAndCallbacks) {
    struct Case {
        int id;
        const char* title;
        const char* callback;
    } cases[] = {{ABOUT, "О программе...", "closePanelCB"},
                 {CHLP, "Поверка", "chlpCB"},
                 {EXIT_POPUP, "QM7X", ""},
                 {MP, "QM7X", ""},
                 {ST, "Самоконтроль", ""}};
    for (const Case& c : cases) {
        const int h = Load(c.id);
        EXPECT_EQ(Title(h), c.title);
        EXPECT_EQ(FindPanel(h)->callbackName, c.callback);
    }
}

TEST_F(ResourceTest, MainPanelHoldsTheTwoPages) {
    const int mp = Load(MP);
    int cp = 0;
    int pp = 0;
    ASSERT_EQ(GetPanelHandleFromTabPage(mp, MP_TAB, 0, cp), 0);
    ASSERT_EQ(GetPanelHandleFromTabPage(mp, MP_TAB, 1, pp), 0);
    EXPECT_EQ(FindPanel(cp)->constant, "CP");
    EXPECT_EQ(FindPanel(pp)->constant, "PP");
    const Control* tab = FindControl(mp, MP_TAB);
    EXPECT_EQ(tab->pages[0].label, "Калибровка");
    EXPECT_EQ(tab->pages[1].label, "Поверка");
    EXPECT_EQ(Text(mp, MP_TEXTMSG_2), "QM7X\nизмеритель напряжений");
    EXPECT_EQ(Text(mp, MP_TEXTMSG_12), "Программа проверки ");
    EXPECT_EQ(Text(mp, MP_ERROR_MESSAGE), "");
    EXPECT_EQ(Attr(mp, MP_ERROR_MESSAGE, ATTR_CTRL_MODE), VAL_INDICATOR);
    EXPECT_EQ(Label(mp, MP_ERROR_MESSAGE_OK), "__OK");
    EXPECT_EQ(Label(mp, MP_MP_EXIT), " Выход ");
    EXPECT_EQ(Label(mp, MP_CALIBR), "Смещение 0");
    EXPECT_EQ(Label(mp, MP_K), "Крейт");
    EXPECT_EQ(Label(mp, MP_S), "Слот");
    unsigned short k = 0;
    EXPECT_EQ(GetCtrlVal(mp, MP_K, k), 0);
    EXPECT_EQ(k, 1);
    EXPECT_EQ(Attr(mp, MP_MEZ_NUM, ATTR_DATA_TYPE), VAL_UNSIGNED_SHORT_INTEGER);
    EXPECT_EQ(InsertListItem(mp, MP_MEZ_NUM, -1, "1", 1), 0);
    EXPECT_EQ(InsertListItem(mp, MP_MEZ_NUM, -1, "big", 70000), UIEWrongType);
    EXPECT_EQ(InsertListItem(mp, MP_MEZ_NUM, -1, "negative", -1), UIEWrongType);
    EXPECT_EQ(FindControl(mp, MP_MEZ_NUM)->callbackName, "selMezonin");
}

TEST_F(ResourceTest, VerificationPage) {
    const int pp = Load(PP);
    double v = -1;
    EXPECT_EQ(GetCtrlVal(pp, PP_PERIOD, v), 0);
    EXPECT_DOUBLE_EQ(v, 0.0002);
    EXPECT_EQ(DisplayText(*FindControl(pp, PP_PERIOD)), "200.000E-6");
    EXPECT_EQ(DisplayText(*FindControl(pp, PP_TIME)), "20.000E-3");
    double min = 0;
    double max = 0;
    double step = 0;
    GetCtrlAttribute(pp, PP_PERIOD, ATTR_MIN_VALUE, min);
    GetCtrlAttribute(pp, PP_PERIOD, ATTR_MAX_VALUE, max);
    GetCtrlAttribute(pp, PP_PERIOD, ATTR_INCR_VALUE, step);
    EXPECT_DOUBLE_EQ(min, 4e-7);
    EXPECT_DOUBLE_EQ(max, 0.026214);
    EXPECT_DOUBLE_EQ(step, 4e-7);
    GetCtrlAttribute(pp, PP_CHAN, ATTR_MIN_VALUE, min);
    GetCtrlAttribute(pp, PP_CHAN, ATTR_MAX_VALUE, max);
    EXPECT_EQ(min, 1);
    EXPECT_EQ(max, 3);
    GetCtrlAttribute(pp, PP_TEMPERATURE, ATTR_MIN_VALUE, min);
    GetCtrlAttribute(pp, PP_TEMPERATURE, ATTR_MAX_VALUE, max);
    EXPECT_EQ(min, -100);
    EXPECT_EQ(max, 100);
    EXPECT_EQ(Attr(pp, PP_TEMPERATURE, ATTR_DIMMED), 1);
    EXPECT_EQ(Attr(pp, PP_TIME, ATTR_CTRL_MODE), VAL_INDICATOR);
    EXPECT_EQ(Text(pp, PP_FILE_NAME), "qm7X.log");
    EXPECT_EQ(Label(pp, PP_U), "Вх.напряжение, В");
    EXPECT_EQ(Label(pp, PP_PERIOD), "Период опроса, с");
    EXPECT_EQ(Label(pp, PP_TIME), "Время измерения, с");
    EXPECT_EQ(Label(pp, PP_RELE_SWITCH), "Входное реле");
    std::string on;
    std::string off;
    GetCtrlAttribute(pp, PP_RELE_SWITCH, ATTR_ON_TEXT, on);
    GetCtrlAttribute(pp, PP_RELE_SWITCH, ATTR_OFF_TEXT, off);
    EXPECT_EQ(on, "вкл");
    EXPECT_EQ(off, "выкл");
    int relay = -1;
    EXPECT_EQ(GetCtrlVal(pp, PP_RELE_SWITCH, relay), 0);
    EXPECT_EQ(relay, 0);
    struct Radio {
        int id;
        const char* label;
        int selected;
    } radios[] = {{PP_TEMPERATURE_20, "+18 ... +22 C", 1},
                  {PP_TEMPERATURE_5, "+5 C", 0},
                  {PP_TEMPERATURE_40, "+40 C", 0},
                  {PP_TEMPERATURE_ANY, "заданная", 0}};
    for (const Radio& r : radios) {
        int value = -1;
        EXPECT_EQ(GetCtrlVal(pp, r.id, value), 0);
        EXPECT_EQ(value, r.selected) << r.label;
        EXPECT_EQ(Label(pp, r.id), r.label);
        EXPECT_EQ(FindControl(pp, r.id)->callbackName, "temperatureCB");
    }
    EXPECT_EQ(Text(pp, PP_TEXTMSG), "Температура");
}

TEST_F(ResourceTest, VerificationVoltageDefaultsToZero) {
    const int pp = Load(PP);
    ASSERT_EQ(SetCtrlVal(pp, PP_U, 9.5), 0);
    ASSERT_EQ(DefaultCtrl(pp, PP_U), 0);
    double u = -1;
    EXPECT_EQ(GetCtrlVal(pp, PP_U, u), 0);
    EXPECT_EQ(u, 0.0);
}

TEST_F(ResourceTest, CalibrationPage) {
    const int cp = Load(CP);
    EXPECT_EQ(DisplayText(*FindControl(cp, CP_TEST_U)), "1.00");
    EXPECT_EQ(DisplayText(*FindControl(cp, CP_RANGE)), "10.00");
    EXPECT_EQ(Label(cp, CP_RANGE), "все");
    EXPECT_EQ(Label(cp, CP_U), "Установленное\nнапряжение, В");
    EXPECT_EQ(Attr(cp, CP_U, ATTR_DIMMED), 1);
    EXPECT_EQ(Attr(cp, CP_RELE_SWITCH, ATTR_DIMMED), 1);
    EXPECT_EQ(Attr(cp, CP_LED, ATTR_CTRL_MODE), VAL_INDICATOR);
    const Control* table = FindControl(cp, CP_TABLE);
    EXPECT_EQ(table->label, "Коэффициенты");
    EXPECT_EQ(table->rowLabels, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(table->columnLabels, (std::vector<std::string>{"К", "B", "диапазон", "U тестовое"}));
    // Gains of about a microvolt per code stay readable; ranges and voltages read as volts.
    EXPECT_EQ(FormatTableCell(*table, 1, 1.1968612670898438e-06), "1.196861E-6");
    EXPECT_EQ(FormatTableCell(*table, 2, 1.0), "1.000000E+0");
    EXPECT_EQ(FormatTableCell(*table, 3, 10.0), "10.000");
    EXPECT_EQ(FormatTableCell(*table, 4, 0.9), "0.900");
    double cell = -1;
    EXPECT_EQ(GetTableCellVal(cp, CP_TABLE, MakePoint(4, 3), cell), 0);
    EXPECT_EQ(cell, 0.0);
    std::string item;
    int count = 0;
    EXPECT_EQ(GetNumListItems(cp, CP_RING_LINE, count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(GetLabelFromIndex(cp, CP_RING_LINE, 0, item), 0);
    EXPECT_EQ(item, "менее 500 кГц");
    EXPECT_EQ(GetLabelFromIndex(cp, CP_RING_LINE, 1, item), 0);
    EXPECT_EQ(item, "более 500 кГц");
    EXPECT_EQ(Label(cp, CP_RING_LINE), "Полоса пропускания");
    int chan = 0;
    EXPECT_EQ(GetCtrlVal(cp, CP_CHAN, chan), 0);
    EXPECT_EQ(chan, 1);
}

TEST_F(ResourceTest, SelfTestPanelDefaultsComeBackButItsButtonStaysUndimmed) {
    const int st = Load(ST);
    EXPECT_EQ(Label(st, ST_CLOSE), "__Закрыть");
    EXPECT_EQ(Attr(st, ST_CLOSE, ATTR_DIMMED), 1);
    ASSERT_EQ(SetCtrlVal(st, ST_MSG, "Демо режим"), 0);
    ASSERT_EQ(SetCtrlVal(st, ST_MSG_PERIOD, ""), 0);
    ASSERT_EQ(SetCtrlVal(st, ST_RESULT, static_cast<short>(5)), 0);
    ASSERT_EQ(SetCtrlAttribute(st, ST_CLOSE, ATTR_DIMMED, 0), 0);
    ASSERT_EQ(DefaultPanel(st), 0);
    EXPECT_EQ(Text(st, ST_MSG), "Идёт самоконтроль. Ждите ...");
    EXPECT_EQ(Text(st, ST_MSG_PERIOD), "Период семплирования мезонина 0.4 мкс");
    short result = -1;
    EXPECT_EQ(GetCtrlVal(st, ST_RESULT, result), 0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Attr(st, ST_CLOSE, ATTR_DIMMED), 0);
}

TEST_F(ResourceTest, AboutExitAndProtocolPanels) {
    const int about = Load(ABOUT);
    EXPECT_EQ(Label(about, ABOUT_SOFT_VERSION), "Версия  программы");
    EXPECT_EQ(Label(about, ABOUT_DRVR_VERSION), "Версия  драйвера");
    EXPECT_EQ(Label(about, ABOUT_CERT_MSG), "Метрологически значимая часть");
    EXPECT_EQ(Text(about, ABOUT_TEXTMSG_2), "QM7X");
    EXPECT_EQ(Text(about, ABOUT_TEXTMSG_11), "управления модулем");
    EXPECT_EQ(Text(about, ABOUT_TEXTMSG), "Измеритель напряжений\nПрограмма проверки");
    EXPECT_FALSE(FindControl(about, ABOUT_PICTURE)->image.empty());

    const int exitPopup = Load(EXIT_POPUP);
    EXPECT_EQ(Text(exitPopup, EXIT_POPUP_TEXTMSG), "Завершить работу с мезонином QM7X?");
    EXPECT_EQ(Label(exitPopup, EXIT_POPUP_EXIT_YES), "ДА");
    EXPECT_EQ(Label(exitPopup, EXIT_POPUP_EXIT_NO), "НЕТ");

    const int chlp = Load(CHLP);
    const Control* log = FindControl(chlp, CHLP_LOG);
    EXPECT_EQ(log->kind, CtrlKind::TextBox);
    EXPECT_EQ(log->label, "Протокол поверки");
    EXPECT_TRUE(log->fixedPitch);
    EXPECT_EQ(Label(chlp, CHLP_COMMANDBUTTON_2), "Закрыть");
    // The box reaches the panel's bottom and the plot of the last point beside it, which keeps
    // the box's margin at the right edge, as the resize callback keeps them.
    const Panel* p = FindPanel(chlp);
    const Control* plot = FindControl(chlp, CHLP_PLOT);
    EXPECT_EQ(plot->kind, CtrlKind::Graph);
    EXPECT_GT(plot->geometry.left, log->geometry.left + log->geometry.width);
    EXPECT_EQ(plot->geometry.left + plot->geometry.width + log->geometry.left, p->geometry.width);
    EXPECT_EQ(log->geometry.top + log->geometry.height, p->geometry.height);
    EXPECT_EQ(plot->geometry.top + plot->geometry.height, p->geometry.height);
}

TEST_F(ResourceTest, EveryCallbackNameOfTheProgram) {
    // The names the program registers; nothing else may appear in the resource.
    const std::set<std::string> expected = {
        "closePanelCB", "closePCB",      "chlpCB",      "closeSp",
        "exit_yes",     "exit_no",       "selMezonin",  "resetCB",
        "calibrCB",     "Selftest",      "aboutCB",     "mp_exit",
        "errMessOk",    "closeP",        "allCB",       "resetCf",
        "releSwitch",   "calibrPoint",   "writeEEPROM", "readEEPROM",
        "showLog",      "startTest",     "selFName",    "temperatureCB",
        "apFind",       "apPlanFile",    "apStart",     "apStop",
        "standardsCB",  "addStandardCB", "historyCB",   "historyCertificateCB"};
    std::set<std::string> names;
    for (const std::string& missing : UnregisteredCallbackNames(kFile)) {
        names.insert(missing.substr(missing.find(": ") + 2));
    }
    EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace qm7x::ui
