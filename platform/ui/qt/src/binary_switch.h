// Binary switch: a two-position toggle with the text of each state beside it ("выкл" | "вкл").
#pragma once

#include <QAbstractButton>

namespace qm7x::ui::qt {

class BinarySwitch : public QAbstractButton {
    Q_OBJECT
  public:
    explicit BinarySwitch(QWidget* parent = nullptr);

    void SetStateTexts(const QString& offText, const QString& onText);
    QString OffText() const { return offText_; }
    QString OnText() const { return onText_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect TrackRect() const;
    int TextWidth(const QString& text) const;

    QString offText_;
    QString onText_;
};

}  // namespace qm7x::ui::qt
