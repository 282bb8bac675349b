// What an operator does with the keyboard and the mouse in the real panels: decimal commas,
// presses made while the program was busy, the close boxes, prompts confirmed with Return and a
// new protocol file typed into the file dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "numeric_edit.h"
#include "p_qm7x.h"
#include "qt_fixture.h"

namespace qm7x::ui::qt {
namespace {

using testing::EventLog;
using testing::OnNextModal;
using testing::QtFrontEndTest;

class OperatorInputTest : public QtFrontEndTest {
  protected:
    void SetUp() override {
        QtFrontEndTest::SetUp();
        mp = Load(MP);
        GetPanelHandleFromTabPage(mp, MP_TAB, 1, pp);
        SetActiveTabPage(mp, MP_TAB, 1);
        DisplayPanel(mp);
        Settle();
    }
    // Types into a numeric field as an operator does: select all, type, Return.
    void TypeInto(int panel, int control, const char* text) {
        auto* edit = Widget<NumericEdit>(panel, control);
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        edit->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    int mp = 0;
    int pp = 0;
};

TEST_F(OperatorInputTest, DecimalCommaIsThePointAndNeverDropped) {
    double u = 0;
    TypeInto(pp, PP_U, "1,5");
    ASSERT_EQ(GetCtrlVal(pp, PP_U, u), 0);
    EXPECT_DOUBLE_EQ(u, 1.5);
    TypeInto(pp, PP_U, "-0,09");
    ASSERT_EQ(GetCtrlVal(pp, PP_U, u), 0);
    EXPECT_DOUBLE_EQ(u, -0.09);
    // A comma beside a point is no number: the value stays as it was.
    TypeInto(pp, PP_U, "1,000.5");
    ASSERT_EQ(GetCtrlVal(pp, PP_U, u), 0);
    EXPECT_DOUBLE_EQ(u, -0.09);
}

// Posts a whole click to the button, as the window system queues one while the program is busy.
void QueueClick(QPushButton* button) {
    const QPointF at = button->rect().center();
    const QPointF global = button->mapToGlobal(at);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(
            button,
            new QMouseEvent(type, at, global, Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                            Qt::NoModifier));
    }
}

TEST_F(OperatorInputTest, PressesQueuedDuringACallbackAreDropped) {
    InstallCtrlCallback(pp, PP_START, EventLog::ControlCallback, nullptr);
    auto* start = Widget<QPushButton>(pp, PP_START);
    // With nothing running, a queued click is a click.
    QueueClick(start);
    Settle();
    ASSERT_EQ(EventLog::Count(pp, PP_START, EVENT_COMMIT), 1);
    // A second press of "Пуск" queued while the first one's callback runs does nothing.
    QueueClick(start);
    QTest::mouseClick(start, Qt::LeftButton);
    Settle();
    EXPECT_EQ(EventLog::Count(pp, PP_START, EVENT_COMMIT), 2);
    EXPECT_FALSE(start->isDown());
    // Keys too: the space bar queued for the focused button.
    start->setFocus();
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QCoreApplication::postEvent(start, new QKeyEvent(type, Qt::Key_Space, Qt::NoModifier, " "));
    }
    QTest::mouseClick(start, Qt::LeftButton);
    Settle();
    EXPECT_EQ(EventLog::Count(pp, PP_START, EVENT_COMMIT), 3);
}

TEST_F(OperatorInputTest, CloseBoxesCommitThePanelsCloseButtons) {
    InstallCtrlCallback(mp, MP_MP_EXIT, EventLog::ControlCallback, nullptr);
    PanelWidget(mp)->close();
    EXPECT_EQ(EventLog::Count(mp, MP_MP_EXIT, EVENT_COMMIT), 1);
    EXPECT_TRUE(PanelWidget(mp)->isVisible());  // the program decides: it asks first

    const int chlp = Load(CHLP);
    DisplayPanel(chlp);
    InstallCtrlCallback(chlp, CHLP_COMMANDBUTTON_2, EventLog::ControlCallback, nullptr);
    PanelWidget(chlp)->close();
    EXPECT_EQ(EventLog::Count(chlp, CHLP_COMMANDBUTTON_2, EVENT_COMMIT), 1);
}

TEST_F(OperatorInputTest, EveryPromptOpensEmptyAndReturnGivesItsOwnReply) {
    std::string reply;
    for (const char* typed : {"9", "-9"}) {
        QString shown = "not seen";
        OnNextModal([&shown, typed](QWidget* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>();
            shown = edit->text();
            QTest::keyClicks(edit, typed);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        ASSERT_EQ(PromptPopup("Сообщение оператору", "Введите напряжение, В", reply, 20), 0);
        EXPECT_EQ(shown, "");  // not the previous reply, ready to be confirmed by mistake
        EXPECT_EQ(reply, typed);
    }
}

TEST_F(OperatorInputTest, FileDialogTakesANewNameTypedAndConfirmedWithReturn) {
    const std::string dir = ::testing::TempDir() + "qm7x_new_protocol";
    std::filesystem::create_directories(dir);
    std::filesystem::remove(dir + "/поверка.log");
    QString accept;
    OnNextModal([&accept](QWidget* dialog) {
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        for (auto* button : dialog->findChildren<QPushButton*>()) {
            if (button->isDefault()) {
                accept = button->text();
            }
        }
        name->insert("поверка.log");  // as typed (QTest types ASCII keys only)
        QTest::keyClick(name, Qt::Key_Return);
        if (QApplication::activeModalWidget() == dialog) {
            qobject_cast<QDialog*>(dialog)->reject();  // it refused the name
        }
    });
    FileSelectOptions options;  // as "файл протокола" asks: the OK button, *.log
    options.defaultDirectory = dir;
    options.defaultFileSpec = "*.log";
    options.fileTypeList = "*.log";
    options.title = "Файл протокола";
    options.allowMakeDirectory = true;
    std::string path;
    ASSERT_EQ(FileSelectPopup(options, path), VAL_NEW_FILE_SELECTED);
    EXPECT_EQ(std::filesystem::path(path).filename(), std::filesystem::path("поверка.log"));
    EXPECT_EQ(accept, "OK");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qm7x::ui::qt
