#include "popups.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm7x::ui::qt {
namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* DialogParent() {
    return QApplication::activeWindow();
}

QString FileButtonText(int buttonLabel) {
    switch (buttonLabel) {
        case VAL_SAVE_BUTTON:
            return QStringLiteral("Сохранить");
        case VAL_SELECT_BUTTON:
            return QStringLiteral("Выбрать");
        default:
            return QStringLiteral("OK");
    }
}

}  // namespace

void ShowMessageDialog(std::string_view title, std::string_view message) {
    QMessageBox box(QMessageBox::NoIcon, Q(title), Q(message), QMessageBox::Ok, DialogParent());
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

int ShowConfirmDialog(std::string_view title, std::string_view message) {
    QMessageBox box(QMessageBox::Question, Q(title), Q(message), QMessageBox::NoButton,
                    DialogParent());
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? 1 : 0;
}

int ShowPromptDialog(std::string_view title, std::string_view message, std::string& reply,
                     int maxReplyLength) {
    QDialog dialog(DialogParent());
    dialog.setWindowTitle(Q(title));
    dialog.setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(&dialog);  // owned by the dialog, as are the widgets below
    auto* text = new QLabel(Q(message), &dialog);
    text->setTextFormat(Qt::PlainText);
    // The reply buffer is the answer, not a proposal: every prompt opens empty, so that Return
    // never hands one prompt's reply to the next.
    auto* edit = new QLineEdit(&dialog);
    if (maxReplyLength > 0) {
        edit->setMaxLength(maxReplyLength);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(text);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    edit->setFocus();
    if (dialog.exec() != QDialog::Accepted) {
        return UIEUserCancelled;
    }
    reply = edit->text().toStdString();
    return 0;
}

int ShowFileDialog(const FileSelectOptions& options, std::string& path) {
    QFileDialog dialog(DialogParent(), QString::fromStdString(options.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowModality(Qt::ApplicationModal);
    // An existing or a new file, whatever the button says (the result tells which). Saving never
    // asks to overwrite: the program decides what happens to an existing file.
    const bool save = options.buttonLabel == VAL_SAVE_BUTTON;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::ReadOnly, !options.allowMakeDirectory);
    dialog.setLabelText(QFileDialog::Accept, FileButtonText(options.buttonLabel));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Отмена"));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Папка:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Имя файла:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Тип файлов:"));
    dialog.setOption(QFileDialog::ShowDirsOnly, false);
    dialog.setDirectory(options.defaultDirectory.empty()
                            ? QDir::currentPath()
                            : QString::fromStdString(options.defaultDirectory));
    QStringList filters;
    if (!options.fileTypeList.empty()) {
        filters << QString::fromStdString(options.fileTypeList);
    }
    if (!options.restrictExtension) {
        filters << QStringLiteral("*");
    }
    dialog.setNameFilters(filters);
    // A default file pattern without wildcards names a file to propose.
    const QString spec = QString::fromStdString(options.defaultFileSpec);
    if (!spec.isEmpty() && !spec.contains(QLatin1Char('*')) && !spec.contains(QLatin1Char('?'))) {
        dialog.selectFile(spec);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return VAL_NO_FILE_SELECTED;
    }
    const QString chosen = dialog.selectedFiles().front();
    path = QDir::toNativeSeparators(chosen).toStdString();
    return QFileInfo::exists(chosen) ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
}

}  // namespace qm7x::ui::qt
