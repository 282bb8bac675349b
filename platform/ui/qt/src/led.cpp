#include "led.h"

#include <QPainter>
#include <QRadialGradient>

namespace qm7x::ui::qt {

Led::Led(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void Led::SetOn(bool on) {
    if (on != on_) {
        on_ = on;
        update();
    }
}

void Led::SetOnColor(const QColor& color) {
    onColor_ = color;
    update();
}

void Led::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2;
    const QRectF lamp((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    const QColor base = on_ ? onColor_ : onColor_.darker(400);
    QRadialGradient glow(lamp.center() - QPointF(side / 6.0, side / 6.0), side / 1.5);
    glow.setColorAt(0.0, base.lighter(on_ ? 160 : 130));
    glow.setColorAt(1.0, base);
    painter.setBrush(glow);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    painter.drawEllipse(lamp);
}

}  // namespace qm7x::ui::qt
