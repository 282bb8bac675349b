// The program's own panels in the real Qt windows, worked by mouse and keyboard: a verification
// point and what the page shows after it, presses queued during a point, the close boxes, where
// the carrier sits, the calibration's two prompts and the status line's word on each operation.
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QValueAxis>
#include <functional>

#include "p_qm7x.h"
#include "qm7x/app/sessions.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
#include "qm7x/results/recorder.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/chklog.h"
#include "qt_program_fixture.h"

namespace qm7x::test {
namespace {

using ProgramWindowTest = QtProgramTest;

// Runs `action` on the next modal dialog once it is shown.
void OnNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(qApp);  // deletes itself once it has acted
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action = std::move(action)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

TEST_F(ProgramWindowTest, APointLeavesThePageReadyForTheNextOne) {
    MeasurePoint(2, 0.9);
    ApplyReference({0, -0.9, 0});
    Type(ppPanel, PP_U, "-0,9");  // the decimal comma of a Russian keyboard
    SwitchRelayIn();
    Click(ppPanel, PP_START);
    ASSERT_EQ(StatusLine(), "");
    EXPECT_EQ(ProtocolEntries(), 2);

    // The page tells the result without the protocol panel.
    std::string result;
    ui::GetCtrlVal(ppPanel, PP_RESULT, result);
    EXPECT_EQ(result.rfind("Ux -", 0), 0U) << result;
    EXPECT_NE(result.find("e-01 В, dUs "), std::string::npos) << result;
    EXPECT_NE(result.find("Норма"), std::string::npos) << result;
    // The keyboard is where the operator goes on: the voltage field, not the file name.
    QWidget* focus = PanelWidget(mpPanel)->focusWidget();
    QWidget* u = ControlWidget(ppPanel, PP_U);
    EXPECT_TRUE(focus == u || (focus != nullptr && u->isAncestorOf(focus)));
    // The file-name field names the file being written and takes no typing while it is open.
    auto* name = qobject_cast<QLineEdit*>(ControlWidget(ppPanel, PP_FILE_NAME));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text().toStdString(), protocol_.string());
    EXPECT_TRUE(name->isReadOnly());
    EXPECT_EQ(name->focusPolicy(), Qt::NoFocus);
}

TEST_F(ProgramWindowTest, APressQueuedDuringAPointMakesNoSecondEntry) {
    SwitchRelayIn();
    Type(ppPanel, PP_U, "5");
    QueueClick(qobject_cast<QPushButton*>(ControlWidget(ppPanel, PP_START)));
    QueueClick(qobject_cast<QPushButton*>(ControlWidget(mpPanel, MP_CALIBR)));
    Click(ppPanel, PP_START);
    Settle();
    EXPECT_EQ(ProtocolEntries(), 1);
    EXPECT_EQ(StatusLine(), "");  // "Смещение 0" did not run either
}

TEST_F(ProgramWindowTest, CloseBoxesDoWhatTheirPanelsButtonsDo) {
    SwitchRelayIn();           // a point with the relay out is not measured
    Click(ppPanel, PP_START);  // opens the protocol
    Click(ppPanel, PP_SHOW_LOG);
    const int chlp = verify::ChlpPanel(verify::kProtocolLog);
    ASSERT_TRUE(PanelWidget(chlp)->isVisible());
    PanelWidget(chlp)->close();
    EXPECT_FALSE(PanelWidget(chlp)->isVisible());

    exitRequested = 0;
    PanelWidget(mpPanel)->close();
    EXPECT_EQ(exitRequested, 1);  // the main loop now asks "Завершить работу ...?"
    EXPECT_TRUE(PanelWidget(mpPanel)->isVisible());
}

TEST_F(ProgramWindowTest, CrateAndSlotAreThoseOfTheCarrier) {
    unsigned short crate = 0;
    unsigned short slot = 0;
    ui::GetCtrlVal(mpPanel, MP_K, crate);
    ui::GetCtrlVal(mpPanel, MP_S, slot);
    EXPECT_EQ(crate, 1);
    EXPECT_EQ(slot, 5);
    EXPECT_TRUE(ControlWidget(mpPanel, MP_S)->isVisible());
}

TEST_F(ProgramWindowTest, TheSecondCalibrationPromptOpensEmpty) {
    ui::SetActiveTabPage(mpPanel, MP_TAB, 0);
    ApplyReference({9, 0, 0});
    QString secondShown = "not seen";
    OnNextModal([&](QWidget* first) {
        auto* edit = first->findChild<QLineEdit*>();
        QTest::keyClicks(edit, "9");
        OnNextModal([&](QWidget* second) {
            ApplyReference({-9, 0, 0});  // the source is set while the prompt asks for it
            auto* edit2 = second->findChild<QLineEdit*>();
            secondShown = edit2->text();
            QTest::keyClicks(edit2, "-9");
            QTest::keyClick(edit2, Qt::Key_Return);
        });
        QTest::keyClick(edit, Qt::Key_Return);
    });
    Click(cpPanel, CP_START);
    EXPECT_EQ(secondShown, "");
    EXPECT_EQ(StatusLine(),
              "Калибровка канала 1 выполнена: новые коэффициенты в таблице, в EEPROM не записаны");
}

TEST_F(ProgramWindowTest, TheStatusLineSaysWhatWasDone) {
    int color = 0;
    Click(mpPanel, MP_CALIBR);
    EXPECT_EQ(StatusLine().rfind("Смещение 0 выполнено", 0), 0U) << StatusLine();
    ui::GetCtrlAttribute(mpPanel, MP_ERROR_MESSAGE, ui::ATTR_TEXT_COLOR, color);
    EXPECT_EQ(color, kStatusWhite);
    Click(cpPanel, CP_READ_EEPROM);
    EXPECT_EQ(StatusLine(), "Коэффициенты прочитаны из EEPROM мезонина");
    // A new point starts with a clean line.
    SwitchRelayIn();
    Click(ppPanel, PP_START);
    EXPECT_EQ(StatusLine(), "");

    // Without a mezzanine the confirmed write says that no EEPROM took the record.
    ASSERT_GE(app::closeMezSession(), 0);
    OnNextModal([](QWidget* dialog) {
        for (auto* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == "Да") {
                QTest::mouseClick(button, Qt::LeftButton);
            }
        }
    });
    Click(cpPanel, CP_WRITE_EEPROM);
    EXPECT_EQ(StatusLine(),
              "Мезонин не открыт: коэффициенты приняты программой, в EEPROM не записаны");
    ui::GetCtrlAttribute(mpPanel, MP_ERROR_MESSAGE, ui::ATTR_TEXT_COLOR, color);
    EXPECT_EQ(color, kStatusRed);
    QApplication::processEvents();
}

// "История модуля" of the open module shows "Сертификат" on its panel, ready to be pressed.
TEST_F(ProgramWindowTest, TheHistoryOffersTheCertificateOfTheOpenModule) {
    hpPanel = 0;  // loaded by the program when first shown
    ::setenv("QM7X_RESULTS_DB", (dir_ / "results.sqlite").c_str(), 1);
    results::ProgramRecorder().Close();  // opened again at the test's own store
    MeasurePoint(1, 5.0);
    Click(ppPanel, PP_HISTORY);
    QWidget* history = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowTitle() == "История модуля") {
            history = window;
        }
    }
    results::ProgramRecorder().Close();
    ::unsetenv("QM7X_RESULTS_DB");
    ASSERT_NE(history, nullptr) << StatusLine();
    QPushButton* certificate = nullptr;
    for (auto* button : history->findChildren<QPushButton*>()) {
        if (button->text() == "Сертификат") {
            certificate = button;
        }
    }
    ASSERT_NE(certificate, nullptr);
    EXPECT_TRUE(certificate->isVisible());
    EXPECT_TRUE(certificate->isEnabled());
    history->close();
}

// 200 points over every channel, range and sign (0 V too) with the protocol panel shown: every
// point is one entry, and the plot keeps a bounded number of ticks on both axes.
TEST_F(ProgramWindowTest, SoakOfTwoHundredPointsWithThePlotShown) {
    SwitchRelayIn();           // a point with the relay out is not measured
    Click(ppPanel, PP_START);  // opens the protocol
    Click(ppPanel, PP_SHOW_LOG);
    const int chlp = verify::ChlpPanel(verify::kProtocolLog);
    auto* view = qobject_cast<QChartView*>(ControlWidget(chlp, CHLP_PLOT));
    ASSERT_NE(view, nullptr);
    const std::array<std::vector<double>, 3> levels = {{{9, 5, 1, 0, -1, -5, -9},
                                                        {0.9, 0.5, 0.1, 0, -0.1, -0.5, -0.9},
                                                        {0.09, 0.05, 0, -0.05, -0.09}}};
    int points = 1;
    for (int i = 0; points < 200; ++i) {
        const int channel = 1 + i % 3;
        const auto& volts = levels[static_cast<std::size_t>(channel - 1)];
        const double un = volts[static_cast<std::size_t>(i / 3) % volts.size()];
        MeasurePoint(channel, un);
        ++points;
        view->grab();
        Settle();
        ASSERT_GE(view->chart()->series().size(), 4) << i;  // samples, Un, the band, Ux
        for (QAbstractAxis* axis : view->chart()->axes()) {
            auto* value = qobject_cast<QValueAxis*>(axis);
            ASSERT_LE((value->max() - value->min()) / value->tickInterval(), 20.0) << i;
            if (axis->orientation() == Qt::Vertical) {  // this point's plot, not the last one's
                ASSERT_LE(value->min(), un) << i;
                ASSERT_GE(value->max(), un) << i;
            }
        }
        ASSERT_EQ(StatusLine(), "") << "point " << points;
    }
    EXPECT_EQ(ProtocolEntries(), 200);
}

}  // namespace
}  // namespace qm7x::test
