// Text box: a multi-line log that is appended to line by line and scrolled by its first
// visible line.
#pragma once

#include <QPlainTextEdit>

namespace qm7x::ui::qt {

class TextBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit TextBox(QWidget* parent = nullptr);

    // Lines are not wrapped: each line of the box is one line of the text, so line numbers of
    // the program and of the widget agree.
    void AppendLine(const QString& line);
    void SetLines(const QStringList& lines);
    int LineCount() const;
    int FirstVisibleLine() const;
    // Scrolls so that `line` is the first visible one, now and again once the box is laid out
    // (before that the scroll range is not known), until the operator scrolls.
    void SetFirstVisibleLine(int line);
    // A fixed-pitch font that has Cyrillic letters, for tables of figures.
    void UseFixedPitchFont();

  signals:
    // The operator changed the text and left the box.
    void EditingFinished();
    // The operator scrolled (scroll bar, wheel); the argument is the new first visible line.
    void ScrolledTo(int line);

  protected:
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    int wantedFirstLine_ = -1;
};

}  // namespace qm7x::ui::qt
