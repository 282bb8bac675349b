// Pop-ups as Qt dialogs, answered by a timer as a person would.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include "qt_fixture.h"

namespace qm7x::ui::qt {
namespace {

using testing::OnNextModal;
using testing::QtFrontEndTest;
using PopupsTest = QtFrontEndTest;

QAbstractButton* ButtonWithText(QWidget* dialog, const QString& text) {
    for (auto* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text().remove('&') == text) {
            return button;
        }
    }
    return nullptr;
}

TEST_F(PopupsTest, MessageShowsTitleAndText) {
    QString title;
    QString text;
    OnNextModal([&](QWidget* dialog) {
        title = dialog->windowTitle();
        text = qobject_cast<QMessageBox*>(dialog)->text();
        qobject_cast<QMessageBox*>(dialog)->accept();
    });
    ASSERT_EQ(MessagePopup("Приборная панель носителя мезонинов",
                           "Инструмент не найден.\nПанель запускается в демо-режиме."),
              0);
    EXPECT_EQ(title, "Приборная панель носителя мезонинов");
    EXPECT_EQ(text, "Инструмент не найден.\nПанель запускается в демо-режиме.");
}

TEST_F(PopupsTest, ConfirmIsYesOnlyForTheYesButton) {
    OnNextModal([](QWidget* dialog) { ButtonWithText(dialog, "Да")->click(); });
    EXPECT_EQ(ConfirmPopup("", "Записать коэффициенты?"), 1);
    OnNextModal([](QWidget* dialog) { ButtonWithText(dialog, "Нет")->click(); });
    EXPECT_EQ(ConfirmPopup("", "Записать коэффициенты?"), 0);
    OnNextModal([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(ConfirmPopup("", "Записать коэффициенты?"), 0);
}

TEST_F(PopupsTest, PromptLimitsTheReplyAndCancelKeepsIt) {
    OnNextModal([](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        edit->selectAll();
        edit->insert("температура");  // as typed: the line edit keeps its maximum length
        qobject_cast<QDialog*>(dialog)->accept();
    });
    std::string reply = "x";
    ASSERT_EQ(PromptPopup("Ввод", "Введите текст", reply, 5), 0);
    EXPECT_EQ(reply, "темпе");

    OnNextModal([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    reply = "как было";
    EXPECT_EQ(PromptPopup("Ввод", "Введите текст", reply, 20), UIEUserCancelled);
    EXPECT_EQ(reply, "как было");
}

TEST_F(PopupsTest, FileSelectionReportsNewOrExistingFile) {
    const QString dir = QString::fromStdString(::testing::TempDir());
    OnNextModal([](QWidget* dialog) {
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        name->setText("новый.log");
        qobject_cast<QDialog*>(dialog)->accept();
    });
    FileSelectOptions options;
    options.defaultDirectory = dir.toStdString();
    options.fileTypeList = "*.log";
    options.title = "файл протокола";
    options.buttonLabel = VAL_SAVE_BUTTON;
    std::string path;
    ASSERT_EQ(FileSelectPopup(options, path), VAL_NEW_FILE_SELECTED);
    EXPECT_NE(path.find("новый.log"), std::string::npos);

    OnNextModal([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(FileSelectPopup(options, path), VAL_NO_FILE_SELECTED);
}

TEST_F(PopupsTest, WaitCursorIsTheOverrideCursor) {
    ASSERT_EQ(SetWaitCursor(1), 0);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetWaitCursor(1);
    SetWaitCursor(0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PopupsTest, BlockingWaitReturnsAfterTheTimeout) {
    const int panel = NewPanel(0, "w", 0, 0, 50, 50);
    DisplayPanel(panel);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ProcessNextEvent(0.05), 0);
    EXPECT_LT(clock.elapsed(), 2000);
}

}  // namespace
}  // namespace qm7x::ui::qt
