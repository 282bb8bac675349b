// The view of a graph control: a Qt Charts chart rebuilt from the model's plots whenever they
// change. Each plot becomes a scatter series for its points and line series for its lines
// (one per unbroken run: a missing value breaks the line), all tagged with the plot's handle.
// Lines are drawn above every plot's markers, so that a level (a measured or nominal value)
// stays visible over the samples it summarises: solid markers are filled half-transparent and
// lines are wider than a marker's outline, so a dense cloud of samples cannot hide a level lying
// within it.
#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTimer>
#include <QValueAxis>
#include <cmath>
#include <limits>
#include <memory>

#include "control_views.h"
#include "model_bridge.h"

namespace qm7x::ui::qt {
namespace {

Qt::PenStyle PenStyleOf(int lineStyle) {
    switch (lineStyle) {
        case VAL_DASH:
            return Qt::DashLine;
        case VAL_DOT:
            return Qt::DotLine;
        case VAL_DASH_DOT:
            return Qt::DashDotLine;
        default:
            return Qt::SolidLine;
    }
}

constexpr qreal kThinLineWidth = 2.0;
constexpr qreal kFatLineWidth = 3.5;
constexpr qreal kMarkerOutlineWidth = 1.0;
constexpr int kMarkerFillAlpha = 110;  // of 255: a level beneath or among the markers shows

void StyleMarkers(QScatterSeries& series, int pointStyle, const QColor& color) {
    bool solid = true;
    qreal size = 7.0;
    switch (pointStyle) {
        case VAL_EMPTY_CIRCLE:
            solid = false;
            [[fallthrough]];
        case VAL_SOLID_CIRCLE:
            series.setMarkerShape(QScatterSeries::MarkerShapeCircle);
            break;
        case VAL_EMPTY_SQUARE:
            solid = false;
            [[fallthrough]];
        case VAL_SOLID_SQUARE:
            series.setMarkerShape(QScatterSeries::MarkerShapeRectangle);
            size = 6.0;
            break;
        case VAL_EMPTY_DIAMOND:
            solid = false;
            [[fallthrough]];
        case VAL_SOLID_DIAMOND:
            series.setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
            size = 8.0;
            break;
        default:  // VAL_SIMPLE_DOT
            series.setMarkerShape(QScatterSeries::MarkerShapeCircle);
            size = 4.0;
            break;
    }
    series.setMarkerSize(size);
    series.setPen(QPen(color, kMarkerOutlineWidth));
    QColor fill = color;
    fill.setAlpha(kMarkerFillAlpha);
    series.setBrush(solid ? QBrush(fill) : QBrush(Qt::NoBrush));
}

class GraphView : public ControlView {
  public:
    GraphView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        chart_ = new QChart();
        chart_->setMargins(QMargins(4, 4, 4, 4));
        chart_->setBackgroundRoundness(0);
        chart_->legend()->setAlignment(Qt::AlignBottom);  // leaves the plot area its width
        // A legend entry shows the marker or the line it names, not a filled square.
        chart_->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
        axisX_ = new QValueAxis();
        axisY_ = new QValueAxis();
        for (QValueAxis* axis : {axisX_, axisY_}) {
            axis->setTickType(QValueAxis::TicksDynamic);
            axis->setTickAnchor(0.0);
        }
        chart_->addAxis(axisX_, Qt::AlignBottom);
        chart_->addAxis(axisY_, Qt::AlignLeft);
        view_ = new QChartView(chart_);  // owns the chart, which owns axes and series
        view_->setRenderHint(QPainter::Antialiasing);
        view_->setFrameShape(QFrame::StyledPanel);
        Adopt(view_, area, true);
        redraw_ = std::make_unique<QTimer>();
        redraw_->setSingleShot(true);
        redraw_->setInterval(0);
        QObject::connect(redraw_.get(), &QTimer::timeout, redraw_.get(), [this] {
            if (const Control* c = FindControl(Panel(), Id())) {
                Rebuild(*c);
            }
        });
    }

    // A callback changes the plots several times in a row (delete, then each plot and its
    // legend text): inside one the chart is rebuilt once, when events are next processed (at
    // the latest as the callback returns); outside, at once.
    void ShowPlots(const Control& c) override {
        if (UserActionDepth() > 0) {
            redraw_->start();
            return;
        }
        redraw_->stop();
        Rebuild(c);
    }

  protected:
    void ShowKindAttributes(const Control& c) override { ShowPlots(c); }
    void ApplyTextColor(const QColor& color) override {
        for (QValueAxis* axis : {axisX_, axisY_}) {
            axis->setLabelsColor(color);
            axis->setTitleBrush(color);
        }
    }
    void ApplyBackColor(const QColor& color) override { chart_->setBackgroundBrush(color); }

  private:
    void Rebuild(const Control& c) {
        // Any range the chart passes through while series come and go is laid out with this
        // coarse interval, never with the old one (see ShowAxis).
        for (QValueAxis* axis : {axisX_, axisY_}) {
            axis->setTickInterval(std::numeric_limits<double>::max());
        }
        chart_->removeAllSeries();
        bool legend = false;
        for (const Plot& plot : c.plots) {
            AddPlot(plot, Layer::Markers);
        }
        for (const Plot& plot : c.plots) {
            AddPlot(plot, Layer::Lines);
            legend = legend || !plot.legendText.empty();
        }
        chart_->legend()->setVisible(legend);
        ShowAxis(*axisX_, c.xAxis, GraphAxisRange(c, VAL_XAXIS));
        ShowAxis(*axisY_, c.yAxis, GraphAxisRange(c, VAL_LEFT_YAXIS));
    }

    enum class Layer { Markers, Lines };

    // Adds the plot's series of one layer. The first series of a plot carries its legend text
    // (its markers when it has any); the others stay out of the legend.
    void AddPlot(const Plot& plot, Layer layer) {
        const QColor color = ToQColor(plot.color);
        bool named = layer == Layer::Lines && PlotDrawsPoints(plot);
        const auto add = [&](QXYSeries* series) {
            series->setProperty("plotHandle", plot.handle);
            chart_->addSeries(series);
            series->attachAxis(axisX_);
            series->attachAxis(axisY_);
            const bool inLegend = !named && !plot.legendText.empty();
            if (inLegend) {
                series->setName(ToQString(plot.legendText));
                named = true;
            }
            for (QLegendMarker* marker : chart_->legend()->markers(series)) {
                marker->setVisible(inLegend);
            }
        };
        const std::size_t count = std::min(plot.x.size(), plot.y.size());
        const auto finite = [&](std::size_t i) {
            return std::isfinite(plot.x[i]) && std::isfinite(plot.y[i]);
        };
        if (layer == Layer::Lines && PlotDrawsLine(plot)) {
            QList<QPointF> run;
            const auto drawRun = [&] {
                if (run.size() > 1) {
                    auto* line = new QLineSeries();  // owned by the chart once added
                    line->append(run);
                    line->setPen(
                        QPen(color, plot.plotStyle == VAL_FAT_LINE ? kFatLineWidth : kThinLineWidth,
                             PenStyleOf(plot.lineStyle)));
                    add(line);
                }
                run.clear();
            };
            for (std::size_t i = 0; i < count; ++i) {
                if (finite(i)) {
                    run.append(QPointF(plot.x[i], plot.y[i]));
                } else {
                    drawRun();
                }
            }
            drawRun();
        }
        if (layer == Layer::Markers && PlotDrawsPoints(plot)) {
            auto* points = new QScatterSeries();  // owned by the chart once added
            for (std::size_t i = 0; i < count; ++i) {
                if (finite(i)) {
                    points->append(plot.x[i], plot.y[i]);
                }
            }
            StyleMarkers(*points, plot.pointStyle, color);
            add(points);
            for (QLegendMarker* marker : chart_->legend()->markers(points)) {
                marker->setPen(points->pen());
                marker->setBrush(points->brush());
            }
        }
    }

    // The chart lays out one tick per interval over the range as soon as either changes: the
    // new range under the old interval could ask for millions of ticks. The interval is coarse
    // (ShowPlots) until the new range stands, and only then the new one.
    static void ShowAxis(QValueAxis& axis, const GraphAxis& model, const AxisRange& range) {
        axis.setTitleText(ToQString(model.name));
        axis.setTickInterval(std::numeric_limits<double>::max());
        axis.setRange(range.min, range.max);
        axis.setTickInterval(range.tick);
        axis.setLabelFormat(QStringLiteral("%.%1f").arg(range.decimals));
    }

    QChart* chart_;
    QChartView* view_;
    std::unique_ptr<QTimer> redraw_;  // stops with the view: never fires for a view that is gone
    QValueAxis* axisX_;
    QValueAxis* axisY_;
};

}  // namespace

std::unique_ptr<ControlView> CreateGraphView(const Control& control, int panel, QWidget* area) {
    if (control.kind != CtrlKind::Graph) {
        return nullptr;
    }
    return std::make_unique<GraphView>(panel, control.id, area);
}

}  // namespace qm7x::ui::qt
