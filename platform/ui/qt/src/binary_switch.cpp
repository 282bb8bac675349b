#include "binary_switch.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace qm7x::ui::qt {
namespace {
constexpr int kTrackWidth = 34;
constexpr int kMinTrackWidth = 24;
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

int BinarySwitch::TextWidth(const QString& text) const {
    return QFontMetrics(font()).horizontalAdvance(text);
}

QSize BinarySwitch::sizeHint() const {
    const int width = TextWidth(offText_) + TextWidth(onText_) + kTrackWidth + 2 * kGap + 2;
    return {width, std::max(kTrackHeight + 6, QFontMetrics(font()).height() + 4)};
}

QRect BinarySwitch::TrackRect() const {
    // Off text, track, on text as one group, centred when there is room; in a narrow switch
    // the track gives way (down to kMinTrackWidth) before the texts do.
    const int texts = TextWidth(offText_) + TextWidth(onText_) + 2 * kGap + 2;
    const int track = std::clamp(width() - texts, kMinTrackWidth, kTrackWidth);
    const int start = std::max(0, (width() - texts - track) / 2);
    return {start + 1 + TextWidth(offText_) + kGap, (height() - kTrackHeight) / 2, track,
            kTrackHeight};
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

    // The text of the present state in full colour, the other one faded.
    const QColor textColor =
        pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    QColor faded = textColor;
    faded.setAlpha(110);
    const QRect left(0, 0, track.left() - kGap, height());
    const QRect right(track.right() + kGap + 1, 0, width() - track.right() - kGap - 1, height());
    painter.setFont(font());
    painter.setPen(on ? faded : textColor);
    painter.drawText(left, Qt::AlignRight | Qt::AlignVCenter, offText_);
    painter.setPen(on ? textColor : faded);
    painter.drawText(right, Qt::AlignLeft | Qt::AlignVCenter, onText_);

    if (hasFocus()) {
        painter.setPen(QPen(pal.color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(track).adjusted(-2, -2, 2, 2), kTrackHeight / 2.0 + 2,
                                kTrackHeight / 2.0 + 2);
    }
}

}  // namespace qm7x::ui::qt
