// LED indicator: a lamp that is lit (on colour) or dark.
#pragma once

#include <QWidget>

namespace qm7x::ui::qt {

class Led : public QWidget {
    Q_OBJECT
  public:
    explicit Led(QWidget* parent = nullptr);

    void SetOn(bool on);
    bool IsOn() const { return on_; }
    void SetOnColor(const QColor& color);

    QSize sizeHint() const override { return {18, 18}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool on_ = false;
    QColor onColor_{0x20, 0xd0, 0x20};
};

}  // namespace qm7x::ui::qt
