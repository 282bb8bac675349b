// A graph as the Qt front end draws it: the chart holds, for every plot of the model, series with
// its points, marker or line style and colour, and follows plotting, deleting and defaults.
#include <gtest/gtest.h>

#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "qm7x/ui/frontend.h"
#include "qm7x/ui/model.h"
#include "qt_fixture.h"

namespace qm7x::ui::qt {
namespace {

using testing::QtFrontEndTest;

constexpr int kGraph = 2;
constexpr std::string_view kGraphResource = R"(
panels:
  - number: 1
    constant: G
    title: "Graph"
    width: 560
    height: 330
    controls:
      - {number: 2, constant: GRAPH, kind: graph, label: "Последняя точка", x_name: "отсчёт", y_name: "U, В", top: 24, left: 10, width: 540, height: 296}
)";

class GraphViewTest : public QtFrontEndTest {
  protected:
    void SetUp() override {
        QtFrontEndTest::SetUp();
        RegisterResource("graph_view.uir", kGraphResource);
        panel = LoadPanel(0, "graph_view.uir", 1);
        ASSERT_GT(panel, 0);
        ASSERT_EQ(DisplayPanel(panel), 0);
        Settle();
        view = Widget<QChartView>(panel, kGraph);
        ASSERT_NE(view, nullptr);
    }
    // The series the chart draws for one plot, in the order added.
    std::vector<QXYSeries*> SeriesOf(int plot) const {
        std::vector<QXYSeries*> found;
        for (QAbstractSeries* s : view->chart()->series()) {
            if (s->property("plotHandle").toInt() == plot) {
                found.push_back(qobject_cast<QXYSeries*>(s));
            }
        }
        return found;
    }
    QValueAxis* Axis(Qt::Orientation orientation) const {
        const auto axes = view->chart()->axes(orientation);
        return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.front());
    }

    int panel = 0;
    QChartView* view = nullptr;
};

// 100 samples around 1 V, every seventh one dropped; the mean and the band as lines.
struct VerificationPoint {
    std::vector<double> keptX, keptY, droppedX, droppedY;
    VerificationPoint() {
        for (int i = 0; i < 100; ++i) {
            const double u = 1.0 + 0.0003 * std::sin(i * 0.7) + (i % 7 == 0 ? 0.0008 : 0.0);
            (i % 7 == 0 ? droppedX : keptX).push_back(i);
            (i % 7 == 0 ? droppedY : keptY).push_back(u);
        }
    }
};

TEST_F(GraphViewTest, TheChartDrawsEachPlotWithItsPointsMarkersAndColours) {
    const VerificationPoint point;
    const int kept = PlotXY(panel, kGraph, point.keptX, point.keptY, VAL_SCATTER, VAL_SOLID_CIRCLE,
                            VAL_SOLID, VAL_DK_GREEN);
    const int dropped = PlotXY(panel, kGraph, point.droppedX, point.droppedY, VAL_SCATTER,
                               VAL_EMPTY_SQUARE, VAL_SOLID, VAL_RED);
    const int band = PlotLine(panel, kGraph, 0, 1.001, 99, 1.001, VAL_BLUE);
    ASSERT_EQ(SetPlotAttribute(panel, kGraph, band, ATTR_LINE_STYLE, VAL_DASH), 0);
    Settle();

    const auto keptSeries = SeriesOf(kept);
    ASSERT_EQ(keptSeries.size(), 1U);
    auto* keptPoints = qobject_cast<QScatterSeries*>(keptSeries[0]);
    ASSERT_NE(keptPoints, nullptr);
    ASSERT_EQ(keptPoints->count(), static_cast<int>(point.keptX.size()));
    for (int i = 0; i < keptPoints->count(); ++i) {
        EXPECT_EQ(keptPoints->at(i), QPointF(point.keptX[static_cast<std::size_t>(i)],
                                             point.keptY[static_cast<std::size_t>(i)]));
    }
    EXPECT_EQ(keptPoints->markerShape(), QScatterSeries::MarkerShapeCircle);
    EXPECT_EQ(keptPoints->brush().color().rgb(), QColor(0x00, 0x80, 0x00).rgb());
    EXPECT_LT(keptPoints->brush().color().alpha(), 255);  // a level among them shows through

    const auto droppedSeries = SeriesOf(dropped);
    ASSERT_EQ(droppedSeries.size(), 1U);
    auto* droppedPoints = qobject_cast<QScatterSeries*>(droppedSeries[0]);
    ASSERT_NE(droppedPoints, nullptr);
    EXPECT_EQ(droppedPoints->count(), static_cast<int>(point.droppedX.size()));
    EXPECT_EQ(droppedPoints->markerShape(), QScatterSeries::MarkerShapeRectangle);
    EXPECT_EQ(droppedPoints->brush().style(), Qt::NoBrush);  // an empty square
    EXPECT_EQ(droppedPoints->pen().color(), QColor(Qt::red));

    const auto bandSeries = SeriesOf(band);
    ASSERT_EQ(bandSeries.size(), 1U);
    auto* line = qobject_cast<QLineSeries*>(bandSeries[0]);
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->count(), 2);
    EXPECT_EQ(line->at(0), QPointF(0, 1.001));
    EXPECT_EQ(line->at(1), QPointF(99, 1.001));
    EXPECT_EQ(line->pen().style(), Qt::DashLine);
    EXPECT_EQ(line->pen().color(), QColor(Qt::blue));
    EXPECT_FALSE(view->chart()->legend()->isVisible());  // no plot has a legend text

    // The axes show the model's range and names.
    const Control& graph = *FindControl(panel, kGraph);
    const AxisRange y = GraphAxisRange(graph, VAL_LEFT_YAXIS);
    QValueAxis* axisY = Axis(Qt::Vertical);
    ASSERT_NE(axisY, nullptr);
    EXPECT_DOUBLE_EQ(axisY->min(), y.min);
    EXPECT_DOUBLE_EQ(axisY->max(), y.max);
    EXPECT_DOUBLE_EQ(axisY->tickInterval(), y.tick);
    EXPECT_EQ(axisY->titleText(), QString::fromUtf8("U, В"));
    QValueAxis* axisX = Axis(Qt::Horizontal);
    ASSERT_NE(axisX, nullptr);
    EXPECT_EQ(axisX->titleText(), QString::fromUtf8("отсчёт"));
    EXPECT_DOUBLE_EQ(axisX->max(), GraphAxisRange(graph, VAL_XAXIS).max);
}

TEST_F(GraphViewTest, DeletingAndDefaultsRemoveTheSeriesAndScalingFollowsTheModel) {
    const std::vector<double> y = {1, 2, 3};
    const int first = PlotY(panel, kGraph, y, VAL_THIN_LINE, VAL_NO_POINT, VAL_SOLID, VAL_BLACK);
    const int second =
        PlotY(panel, kGraph, y, VAL_CONNECTED_POINTS, VAL_SOLID_DIAMOND, VAL_DOT, VAL_BLUE);
    ASSERT_EQ(SeriesOf(first).size(), 1U);
    ASSERT_EQ(SeriesOf(second).size(), 2U);  // its line and its markers
    ASSERT_EQ(DeleteGraphPlot(panel, kGraph, first, VAL_IMMEDIATE_DRAW), 0);
    EXPECT_TRUE(SeriesOf(first).empty());
    EXPECT_EQ(SeriesOf(second).size(), 2U);

    ASSERT_EQ(SetAxisScalingMode(panel, kGraph, VAL_LEFT_YAXIS, VAL_MANUAL, -5.0, 5.0), 0);
    EXPECT_DOUBLE_EQ(Axis(Qt::Vertical)->min(), -5.0);
    EXPECT_DOUBLE_EQ(Axis(Qt::Vertical)->max(), 5.0);
    ASSERT_EQ(SetCtrlAttribute(panel, kGraph, ATTR_XNAME, "n"), 0);
    EXPECT_EQ(Axis(Qt::Horizontal)->titleText(), "n");

    ASSERT_EQ(DefaultPanel(panel), 0);
    EXPECT_TRUE(view->chart()->series().isEmpty());
    EXPECT_DOUBLE_EQ(Axis(Qt::Vertical)->max(), 5.0);  // the scaling stays
}

TEST_F(GraphViewTest, MissingValuesBreakTheLineAndAreNotMarked) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> y = {1, 2, nan, 4, 5, 6};
    const int plot =
        PlotY(panel, kGraph, y, VAL_CONNECTED_POINTS, VAL_SOLID_CIRCLE, VAL_SOLID, VAL_BLACK);
    const auto series = SeriesOf(plot);
    ASSERT_EQ(series.size(), 3U);  // one set of markers, then two runs of line above them
    ASSERT_NE(qobject_cast<QScatterSeries*>(series[0]), nullptr);
    EXPECT_EQ(series[0]->count(), 5);
    EXPECT_EQ(series[1]->points(), (QList<QPointF>{{0, 1}, {1, 2}}));
    EXPECT_EQ(series[2]->points(), (QList<QPointF>{{3, 4}, {4, 5}, {5, 6}}));
}

TEST_F(GraphViewTest, OnlyPlotsWithALegendTextAppearInTheLegendOnce) {
    const std::vector<double> y = {1, 2, 3};
    const int named =
        PlotY(panel, kGraph, y, VAL_CONNECTED_POINTS, VAL_SOLID_CIRCLE, VAL_SOLID, VAL_BLUE);
    const int unnamed = PlotLine(panel, kGraph, 0, 2, 2, 2, VAL_RED);
    ASSERT_EQ(SetPlotAttribute(panel, kGraph, named, ATTR_PLOT_LG_TEXT, "отсчёты"), 0);
    Settle();  // the legend lays its markers out later
    QLegend* legend = view->chart()->legend();
    EXPECT_TRUE(legend->isVisible());
    int shown = 0;
    for (QLegendMarker* marker : legend->markers()) {
        if (marker->isVisible()) {
            ++shown;
            EXPECT_EQ(marker->label(), QString::fromUtf8("отсчёты"));
            EXPECT_EQ(marker->series()->property("plotHandle").toInt(), named);
        }
    }
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(SeriesOf(unnamed).size(), 1U);
}

// Levels drawn as lines (Ux, Un) lie above every plot's markers, whatever order they were
// plotted in, and a legend entry looks like what it names: an empty red square for markers drawn
// as empty red squares, a line for a line.
TEST_F(GraphViewTest, LinesLieAboveMarkersAndTheLegendShowsEachPlotsLook) {
    const int level = PlotLine(panel, kGraph, 0, 2, 2, 2, VAL_BLACK);
    const std::vector<double> y = {1, 2, 3};
    const int dropped = PlotY(panel, kGraph, y, VAL_SCATTER, VAL_EMPTY_SQUARE, VAL_SOLID, VAL_RED);
    SetPlotAttribute(panel, kGraph, level, ATTR_PLOT_LG_TEXT, "Un");
    SetPlotAttribute(panel, kGraph, dropped, ATTR_PLOT_LG_TEXT, "отброшенные");
    Settle();
    const QList<QAbstractSeries*> order = view->chart()->series();
    ASSERT_EQ(order.size(), 2);
    EXPECT_EQ(order[0]->property("plotHandle").toInt(), dropped);  // drawn first, beneath
    EXPECT_EQ(order[1]->property("plotHandle").toInt(), level);
    EXPECT_EQ(view->chart()->legend()->markerShape(), QLegend::MarkerShapeFromSeries);
    const QList<QLegendMarker*> markers = view->chart()->legend()->markers(order[0]);
    ASSERT_EQ(markers.size(), 1);
    EXPECT_EQ(markers[0]->pen().color(), QColor(Qt::red));
    EXPECT_EQ(markers[0]->brush().style(), Qt::NoBrush);
}

// The last verification point as the protocol panel shows it: the band, Un, dense samples and
// the measured value Ux lying exactly within them. As drawn, Ux is a green stripe at least three
// pixels high right across the samples: a line beneath the markers, too thin to see or missing
// leaves blue or white pixels there.
TEST_F(GraphViewTest, AMeasuredLevelWithinDenseSamplesIsDrawnOverThem) {
    std::vector<double> samples(100);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = 0.04976 + 4e-7 * std::sin(static_cast<double>(i));
    }
    const double ux = 0.04976;
    for (const double edge : {0.04965, 0.05035}) {
        PlotLine(panel, kGraph, 0, edge, 99, edge, VAL_DK_RED);
    }
    PlotLine(panel, kGraph, 0, 0.05, 99, 0.05, VAL_BLACK);
    const int kept =
        PlotY(panel, kGraph, samples, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, VAL_DK_BLUE);
    const int measured = PlotLine(panel, kGraph, 0, ux, 99, ux, VAL_DK_GREEN);
    ASSERT_EQ(SetPlotAttribute(panel, kGraph, measured, ATTR_PLOT_STYLE, VAL_FAT_LINE), 0);
    Settle();

    const auto line = SeriesOf(measured);
    ASSERT_EQ(line.size(), 1U);
    ASSERT_NE(qobject_cast<QLineSeries*>(line[0]), nullptr);
    EXPECT_EQ(line[0]->points(), (QList<QPointF>{{0, ux}, {99, ux}}));
    EXPECT_EQ(view->chart()->series().back(), line[0]);  // drawn last, above the samples
    ASSERT_EQ(SeriesOf(kept).size(), 1U);

    const QImage image = view->grab().toImage();
    const QPointF left = view->mapFromScene(view->chart()->mapToPosition({5, ux}, line[0]));
    const QPointF right = view->mapFromScene(view->chart()->mapToPosition({94, ux}, line[0]));
    const int row = qRound(left.y());
    int thinColumns = 0;
    for (int x = qRound(left.x()); x <= qRound(right.x()); ++x) {
        int greenRows = 0;
        for (int y = row - 4; y <= row + 4; ++y) {
            const QColor c = image.pixelColor(x, y);
            greenRows += c.green() > 90 && c.red() < 60 && c.blue() < 60 ? 1 : 0;
        }
        thinColumns += greenRows < 3 ? 1 : 0;
    }
    EXPECT_EQ(thinColumns, 0) << "from x " << left.x() << " to " << right.x() << " at y " << row;
}

// Whatever the plots hold, each axis has a bounded number of ticks and the chart is drawn at
// once: from one point to the next the old tick distance never meets the new range.
TEST_F(GraphViewTest, AxesStayBoundedWhateverThePlotsHold) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<double>> cases = {
        {0.9 + 1e-6, 0.9 - 1e-6, 0.9},  // channel 2 at +0.9 V, then
        {-0.9 + 1e-6, -0.9 - 1e-6},     // at -0.9 V: the step that froze the window
        {nan, 1.0, nan},
        {5.0, 5.0, 5.0},
        {-1e308, 1e308},
        {1.0, std::nextafter(1.0, 2.0)},  // closer than any tick distance could tell
        {0.0},
        {1e-300, 2e-300},
    };
    for (const auto& values : cases) {
        DeleteGraphPlot(panel, kGraph, VAL_ALL_PLOTS, VAL_DELAYED_DRAW);
        ASSERT_GT(PlotY(panel, kGraph, values, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0), 0);
        PlotLine(panel, kGraph, 0, values.back(), 2, values.back(), VAL_RED);  // zero-width band
        view->grab();  // lays out and draws the whole chart now
        for (const Qt::Orientation side : {Qt::Horizontal, Qt::Vertical}) {
            const QValueAxis* axis = Axis(side);
            ASSERT_NE(axis, nullptr);
            const double intervals =
                (axis->max() / 2 - axis->min() / 2) / (axis->tickInterval() / 2);
            EXPECT_TRUE(std::isfinite(axis->min()) && std::isfinite(axis->max()));
            EXPECT_GT(intervals, 0.5) << values.front();
            EXPECT_LE(intervals, 20.0) << values.front();
            // Neighbouring ticks are different numbers.
            EXPECT_NE(axis->min() + axis->tickInterval(), axis->min()) << values.front();
        }
    }
}

// The verification point as the operator sees it, written as a PNG: the picture must not be
// blank (a chart that silently draws nothing shows only its background).
TEST_F(GraphViewTest, ThePanelImageShowsTheGraph) {
    const VerificationPoint point;
    const int kept = PlotXY(panel, kGraph, point.keptX, point.keptY, VAL_SCATTER, VAL_SOLID_CIRCLE,
                            VAL_SOLID, VAL_DK_GREEN);
    const int dropped = PlotXY(panel, kGraph, point.droppedX, point.droppedY, VAL_SCATTER,
                               VAL_EMPTY_SQUARE, VAL_SOLID, VAL_RED);
    SetPlotAttribute(panel, kGraph, kept, ATTR_PLOT_LG_TEXT, "учтённые");
    SetPlotAttribute(panel, kGraph, dropped, ATTR_PLOT_LG_TEXT, "отброшенные");
    const double mean = 1.00005;
    const int meanLine = PlotLine(panel, kGraph, 0, mean, 99, mean, VAL_DK_GREEN);
    PlotLine(panel, kGraph, 0, 1.0, 99, 1.0, VAL_BLACK);
    for (const double edge : {0.999, 1.001}) {
        SetPlotAttribute(panel, kGraph, PlotLine(panel, kGraph, 0, edge, 99, edge, VAL_RED),
                         ATTR_LINE_STYLE, VAL_DASH);
    }
    SetPlotAttribute(panel, kGraph, meanLine, ATTR_LINE_STYLE, VAL_DASH_DOT);
    Settle();

    const char* keep = std::getenv("QM7X_GRAPH_SHOT");  // a path to look at the picture
    const std::string path = keep != nullptr && *keep != '\0'
                                 ? std::string(keep)
                                 : ::testing::TempDir() + "qm7x_graph_view.png";
    ASSERT_EQ(SavePanelImage(panel, path), 0);
    const QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    // Red and green marks are on the picture (the markers of the two point plots).
    int red = 0;
    int green = 0;
    for (int yPixel = 0; yPixel < image.height(); ++yPixel) {
        for (int xPixel = 0; xPixel < image.width(); ++xPixel) {
            const QColor c = image.pixelColor(xPixel, yPixel);
            red += c.red() > 200 && c.green() < 80 && c.blue() < 80 ? 1 : 0;
            green += c.green() > 100 && c.red() < 60 && c.blue() < 60 ? 1 : 0;
        }
    }
    EXPECT_GT(red, 100);
    EXPECT_GT(green, 100);
    if (keep == nullptr) {
        std::filesystem::remove(path);
    }
}

}  // namespace
}  // namespace qm7x::ui::qt
