#include "text_box.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QTextBlock>

namespace qm7x::ui::qt {

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
    // Operator actions on the scroll bar (and the wheel, which goes through it) report the
    // line once the bar has moved; scrolling by the program does not.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int /*action*/) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                wantedFirstLine_ = -1;
                emit ScrolledTo(FirstVisibleLine());
            },
            Qt::QueuedConnection);
    });
}

void TextBox::AppendLine(const QString& line) {
    // appendPlainText keeps the view where the operator left it unless it was at the end.
    appendPlainText(line);
    document()->setModified(false);
}

void TextBox::SetLines(const QStringList& lines) {
    setPlainText(lines.join(QLatin1Char('\n')));
    document()->setModified(false);
}

int TextBox::LineCount() const {
    return document()->isEmpty() ? 0 : document()->blockCount();
}

int TextBox::FirstVisibleLine() const {
    // Without wrapping the vertical scroll position of a plain text edit counts lines.
    return verticalScrollBar()->value();
}

void TextBox::SetFirstVisibleLine(int line) {
    wantedFirstLine_ = line;
    verticalScrollBar()->setValue(line);
}

void TextBox::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    if (wantedFirstLine_ >= 0) {
        verticalScrollBar()->setValue(wantedFirstLine_);
    }
}

void TextBox::showEvent(QShowEvent* event) {
    QPlainTextEdit::showEvent(event);
    if (wantedFirstLine_ >= 0) {
        verticalScrollBar()->setValue(wantedFirstLine_);
    }
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (!isReadOnly() && document()->isModified()) {
        document()->setModified(false);
        emit EditingFinished();
    }
}

void TextBox::UseFixedPitchFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("Noto Sans Mono"), QStringLiteral("Courier New"),
                      QStringLiteral("Monospace")});
    font.setFixedPitch(true);
    font.setPointSizeF(QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSizeF());
    setFont(font);
}

}  // namespace qm7x::ui::qt
