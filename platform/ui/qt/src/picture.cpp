#include "picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

#ifdef QM7X_HAVE_QTSVG
#include <QSvgRenderer>
#else
class QSvgRenderer {};  // no SVG support: the drawn artwork stands in
#endif

namespace qm7x::ui::qt {
namespace {

void PaintVxiEmblem(QPainter& painter, const QRectF& area) {
    const qreal side = std::min(area.width(), area.height());
    const QRectF box(area.center().x() - area.width() / 2, area.center().y() - side / 2,
                     area.width(), side);
    QLinearGradient shade(box.topLeft(), box.bottomLeft());
    shade.setColorAt(0, QColor(0x1d, 0x4f, 0x91));
    shade.setColorAt(1, QColor(0x0b, 0x2a, 0x55));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawRoundedRect(box, side * 0.12, side * 0.12);

    // Backplane connector pins along the bottom edge.
    painter.setBrush(QColor(0xe0, 0xb0, 0x30));
    const int pins = 7;
    const qreal pinWidth = box.width() / (pins * 2 + 1);
    for (int i = 0; i < pins; ++i) {
        painter.drawRect(QRectF(box.left() + pinWidth * (2 * i + 1), box.bottom() - side * 0.18,
                                pinWidth, side * 0.1));
    }
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(8, static_cast<int>(side * 0.42)));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box.adjusted(0, 0, 0, -side * 0.18), Qt::AlignCenter, QStringLiteral("VXI"));
}

void PaintModuleEmblem(QPainter& painter, const QRectF& area) {
    QLinearGradient shade(area.topLeft(), area.bottomRight());
    shade.setColorAt(0, QColor(0x20, 0x24, 0x2a));
    shade.setColorAt(1, QColor(0x3a, 0x42, 0x4c));
    painter.setPen(QPen(QColor(0x80, 0x88, 0x90), 1));
    painter.setBrush(shade);
    const qreal radius = std::min(area.width(), area.height()) * 0.1;
    painter.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    // Graticule and a voltage trace: what the module measures.
    const QRectF screen = area.adjusted(area.width() * 0.08, area.height() * 0.08,
                                        -area.width() * 0.08, -area.height() * 0.45);
    painter.setPen(QPen(QColor(0x40, 0x70, 0x50), 1, Qt::DotLine));
    for (int i = 1; i < 4; ++i) {
        const qreal x = screen.left() + screen.width() * i / 4;
        painter.drawLine(QPointF(x, screen.top()), QPointF(x, screen.bottom()));
    }
    painter.drawLine(QPointF(screen.left(), screen.center().y()),
                     QPointF(screen.right(), screen.center().y()));
    QPainterPath trace;
    const int points = 64;
    for (int i = 0; i <= points; ++i) {
        const qreal t = static_cast<qreal>(i) / points;
        const qreal y = std::sin(t * 2 * std::numbers::pi * 1.5) * std::exp(-t * 1.2);
        const QPointF p(screen.left() + t * screen.width(),
                        screen.center().y() - y * screen.height() * 0.45);
        if (i == 0) {
            trace.moveTo(p);
        } else {
            trace.lineTo(p);
        }
    }
    painter.setPen(QPen(QColor(0x50, 0xf0, 0x70), std::max(1.0, area.height() / 40)));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(trace);

    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(8, static_cast<int>(area.height() * 0.3)));
    painter.setFont(font);
    painter.setPen(QColor(0xf0, 0xf0, 0xf0));
    painter.drawText(area.adjusted(0, area.height() * 0.55, 0, 0), Qt::AlignCenter,
                     QStringLiteral("QM7X"));
}

}  // namespace

Picture::Picture(Artwork artwork, QWidget* parent) : QWidget(parent), artwork_(artwork) {}

Picture::~Picture() = default;

bool Picture::SetDrawing(const QByteArray& svg) {
#ifdef QM7X_HAVE_QTSVG
    auto renderer = std::make_unique<QSvgRenderer>(svg);
    if (!renderer->isValid()) {
        return false;
    }
    renderer->setAspectRatioMode(Qt::KeepAspectRatio);
    drawing_ = std::move(renderer);
    update();
    return true;
#else
    (void)svg;
    return false;
#endif
}

bool Picture::HasDrawing() const {
    return drawing_ != nullptr;
}

Picture::Artwork Picture::ArtworkFor(const QString& name) {
    return name.contains(QStringLiteral("vxi"), Qt::CaseInsensitive) ? Artwork::VxiEmblem
                                                                     : Artwork::ModuleEmblem;
}

void Picture::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
#ifdef QM7X_HAVE_QTSVG
    if (drawing_ != nullptr) {
        drawing_->render(&painter, QRectF(rect()));
        return;
    }
#endif
    if (artwork_ == Artwork::VxiEmblem) {
        PaintVxiEmblem(painter, area);
    } else {
        PaintModuleEmblem(painter, area);
    }
}

}  // namespace qm7x::ui::qt
