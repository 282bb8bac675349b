#include "binary_switch.h"

#include <QPainter>
#include <QPainterPath>

namespace qm7x::ui::qt {
namespace {
constexpr int kTrackWidth = 34;
constexpr int kTrackHeight = 16;
constexpr int kGap = 5;
}  // namespace

BinarySwitch::BinarySwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void BinarySwitch::SetStateTexts(const QString& offText, const QString& onText) {
    offText_ = offText;
    onText_ = onText;
    setAccessibleDescription(offText + QStringLiteral(" / ") + onText);
    updateGeometry();
    update();
}

QSize BinarySwitch::sizeHint() const {
    const QFontMetrics metrics(font());
    const int width = metrics.horizontalAdvance(offText_) + metrics.horizontalAdvance(onText_) +
                      kTrackWidth + 4 * kGap;
    return {width, std::max(kTrackHeight + 6, metrics.height() + 4)};
}

QRect BinarySwitch::TrackRect() const {
    // The track sits in the middle; the texts take what is left on either side.
    return {(width() - kTrackWidth) / 2, (height() - kTrackHeight) / 2, kTrackWidth, kTrackHeight};
}

void BinarySwitch::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect track = TrackRect();
    const QPalette& pal = palette();
    const bool on = isChecked();

    QPainterPath trackPath;
    trackPath.addRoundedRect(QRectF(track), kTrackHeight / 2.0, kTrackHeight / 2.0);
    const QColor trackColor = !isEnabled() ? pal.color(QPalette::Disabled, QPalette::Button)
                              : on         ? QColor(0x2e, 0x9d, 0x3a)
                                           : QColor(0x9a, 0x9a, 0x9a);
    painter.fillPath(trackPath, trackColor);
    painter.setPen(QPen(pal.color(QPalette::Dark), 1));
    painter.drawPath(trackPath);

    const int knob = kTrackHeight - 4;
    const int knobX = on ? track.right() - knob - 1 : track.left() + 2;
    painter.setBrush(pal.color(QPalette::Button).lighter(120));
    painter.drawEllipse(QRect(knobX, track.top() + 2, knob, knob));

    QFont active = font();
    active.setBold(true);
    const QColor textColor =
        pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    const QRect left(0, 0, track.left() - kGap, height());
    const QRect right(track.right() + kGap + 1, 0, width() - track.right() - kGap - 1, height());
    painter.setPen(textColor);
    painter.setFont(on ? font() : active);
    painter.drawText(left, Qt::AlignRight | Qt::AlignVCenter, offText_);
    painter.setFont(on ? active : font());
    painter.drawText(right, Qt::AlignLeft | Qt::AlignVCenter, onText_);

    if (hasFocus()) {
        painter.setPen(QPen(pal.color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(track).adjusted(-2, -2, 2, 2), kTrackHeight / 2.0 + 2,
                                kTrackHeight / 2.0 + 2);
    }
}

}  // namespace qm7x::ui::qt
