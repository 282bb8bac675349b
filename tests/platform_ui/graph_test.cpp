// Graphs in the model: what is plotted is exactly what front ends get to draw.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "qm7x/ui/headless.h"
#include "qm7x/ui/model.h"
#include "test_resource.h"

namespace qm7x::ui {
namespace {

using namespace test;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class GraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        panel = LoadMain();
        ASSERT_GT(panel, 0);
    }
    void TearDown() override { ResetUserInterface(); }
    const std::vector<Plot>& Plots() const { return FindControl(panel, MAIN_GRAPH)->plots; }
    int panel = 0;
};

TEST_F(GraphTest, PlotsKeepTheirPointsStylesAndColoursInOrder) {
    const std::vector<double> kept = {1.0, 1.5, 0.5};
    const int a =
        PlotY(panel, MAIN_GRAPH, kept, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, VAL_BLUE);
    const std::vector<double> xs = {3.0, 7.0};
    const std::vector<double> ys = {2.0, -2.0};
    const int b =
        PlotXY(panel, MAIN_GRAPH, xs, ys, VAL_SCATTER, VAL_EMPTY_SQUARE, VAL_SOLID, VAL_RED);
    const int c = PlotLine(panel, MAIN_GRAPH, 0.0, 1.25, 99.0, 1.25, VAL_DK_GREEN);
    const int d = PlotPoint(panel, MAIN_GRAPH, 4.0, 4.5, VAL_BLACK);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    ASSERT_GT(c, 0);
    ASSERT_GT(d, 0);
    EXPECT_EQ((std::set<int>{a, b, c, d}).size(), 4U);

    const std::vector<Plot>& plots = Plots();
    ASSERT_EQ(plots.size(), 4U);
    EXPECT_EQ(plots[0].handle, a);
    EXPECT_EQ(plots[0].kind, PlotKind::Y);
    EXPECT_EQ(plots[0].x, (std::vector<double>{0.0, 1.0, 2.0}));  // against the index
    EXPECT_EQ(plots[0].y, kept);
    EXPECT_EQ(plots[0].pointStyle, VAL_SOLID_CIRCLE);
    EXPECT_EQ(plots[0].color, VAL_BLUE);
    EXPECT_TRUE(PlotDrawsPoints(plots[0]));
    EXPECT_FALSE(PlotDrawsLine(plots[0]));

    EXPECT_EQ(plots[1].kind, PlotKind::XY);
    EXPECT_EQ(plots[1].x, xs);
    EXPECT_EQ(plots[1].y, ys);
    EXPECT_EQ(plots[1].pointStyle, VAL_EMPTY_SQUARE);
    EXPECT_EQ(plots[1].color, VAL_RED);

    EXPECT_EQ(plots[2].kind, PlotKind::Line);
    EXPECT_EQ(plots[2].x, (std::vector<double>{0.0, 99.0}));
    EXPECT_EQ(plots[2].y, (std::vector<double>{1.25, 1.25}));
    EXPECT_EQ(plots[2].lineStyle, VAL_SOLID);
    EXPECT_TRUE(PlotDrawsLine(plots[2]));
    EXPECT_FALSE(PlotDrawsPoints(plots[2]));

    EXPECT_EQ(plots[3].kind, PlotKind::Point);
    EXPECT_TRUE(PlotDrawsPoints(plots[3]));
    EXPECT_FALSE(PlotDrawsLine(plots[3]));
}

TEST_F(GraphTest, PlotAttributesChangeOnePlot) {
    const int line = PlotLine(panel, MAIN_GRAPH, 0, 1, 10, 1, VAL_BLACK);
    const int other = PlotLine(panel, MAIN_GRAPH, 0, 2, 10, 2, VAL_BLACK);
    ASSERT_EQ(SetPlotAttribute(panel, MAIN_GRAPH, line, ATTR_LINE_STYLE, VAL_DASH), 0);
    ASSERT_EQ(SetPlotAttribute(panel, MAIN_GRAPH, line, ATTR_TRACE_COLOR, VAL_MAGENTA), 0);
    ASSERT_EQ(SetPlotAttribute(panel, MAIN_GRAPH, line, ATTR_PLOT_LG_TEXT, "Un"), 0);
    int value = 0;
    EXPECT_EQ(GetPlotAttribute(panel, MAIN_GRAPH, line, ATTR_LINE_STYLE, value), 0);
    EXPECT_EQ(value, VAL_DASH);
    EXPECT_EQ(GetPlotAttribute(panel, MAIN_GRAPH, line, ATTR_TRACE_COLOR, value), 0);
    EXPECT_EQ(value, VAL_MAGENTA);
    std::string text;
    EXPECT_EQ(GetPlotAttribute(panel, MAIN_GRAPH, line, ATTR_PLOT_LG_TEXT, text), 0);
    EXPECT_EQ(text, "Un");
    EXPECT_EQ(Plots()[1].lineStyle, VAL_SOLID);  // the other plot is untouched
    EXPECT_EQ(Plots()[1].color, VAL_BLACK);
    EXPECT_TRUE(Plots()[1].legendText.empty());

    EXPECT_EQ(SetPlotAttribute(panel, MAIN_GRAPH, other, ATTR_LINE_STYLE, 99), UIEInvalidArgument);
    EXPECT_EQ(SetPlotAttribute(panel, MAIN_GRAPH, other, ATTR_TRACE_COLOR, 0x1000000),
              UIEInvalidArgument);
    EXPECT_EQ(SetPlotAttribute(panel, MAIN_GRAPH, other, ATTR_PLOT_LG_TEXT, VAL_RED),
              UIEAttributeNotValid);
    EXPECT_EQ(SetPlotAttribute(panel, MAIN_GRAPH, other, ATTR_DIMMED, 1), UIEAttributeNotValid);
    EXPECT_EQ(SetPlotAttribute(panel, MAIN_GRAPH, 999, ATTR_LINE_STYLE, VAL_DASH), UIEInvalidPlot);
    EXPECT_EQ(GetPlotAttribute(panel, MAIN_GRAPH, 999, ATTR_LINE_STYLE, value), UIEInvalidPlot);
}

TEST_F(GraphTest, DeletingOnePlotOrAllAndHandlesAreNeverReused) {
    const std::vector<double> y = {1, 2, 3};
    const int a = PlotY(panel, MAIN_GRAPH, y, VAL_THIN_LINE, VAL_NO_POINT, VAL_SOLID, VAL_RED);
    const int b = PlotY(panel, MAIN_GRAPH, y, VAL_THIN_LINE, VAL_NO_POINT, VAL_SOLID, VAL_BLUE);
    ASSERT_EQ(DeleteGraphPlot(panel, MAIN_GRAPH, a, VAL_IMMEDIATE_DRAW), 0);
    ASSERT_EQ(Plots().size(), 1U);
    EXPECT_EQ(Plots()[0].handle, b);
    EXPECT_EQ(DeleteGraphPlot(panel, MAIN_GRAPH, a, VAL_IMMEDIATE_DRAW), UIEInvalidPlot);
    EXPECT_EQ(DeleteGraphPlot(panel, MAIN_GRAPH, b, 7), UIEInvalidArgument);
    EXPECT_EQ(Plots().size(), 1U);

    const int c = PlotY(panel, MAIN_GRAPH, y, VAL_THIN_LINE, VAL_NO_POINT, VAL_SOLID, VAL_RED);
    EXPECT_GT(c, b);
    ASSERT_EQ(DeleteGraphPlot(panel, MAIN_GRAPH, VAL_ALL_PLOTS, VAL_DELAYED_DRAW), 0);
    EXPECT_TRUE(Plots().empty());
    EXPECT_EQ(DeleteGraphPlot(panel, MAIN_GRAPH, VAL_ALL_PLOTS, VAL_NO_DRAW), 0);  // none: fine
    // A handle kept from before the deletion never reaches a new plot.
    const int d = PlotY(panel, MAIN_GRAPH, y, VAL_THIN_LINE, VAL_NO_POINT, VAL_SOLID, VAL_RED);
    EXPECT_GT(d, c);
    EXPECT_EQ(DeleteGraphPlot(panel, MAIN_GRAPH, c, VAL_IMMEDIATE_DRAW), UIEInvalidPlot);
}

TEST_F(GraphTest, DefaultsClearThePlotsButKeepTheAxes) {
    const std::vector<double> y = {1, 2};
    ASSERT_GT(PlotY(panel, MAIN_GRAPH, y, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, VAL_RED), 0);
    ASSERT_EQ(SetAxisScalingMode(panel, MAIN_GRAPH, VAL_LEFT_YAXIS, VAL_MANUAL, -1.0, 1.0), 0);
    ASSERT_EQ(DefaultCtrl(panel, MAIN_GRAPH), 0);
    EXPECT_TRUE(Plots().empty());
    int mode = -1;
    double min = 0;
    double max = 0;
    ASSERT_EQ(GetAxisScalingMode(panel, MAIN_GRAPH, VAL_LEFT_YAXIS, mode, min, max), 0);
    EXPECT_EQ(mode, VAL_MANUAL);  // scaling is an attribute, not a value

    const int handle =
        PlotY(panel, MAIN_GRAPH, y, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, VAL_RED);
    ASSERT_GT(handle, 0);
    ASSERT_EQ(DefaultPanel(panel), 0);
    EXPECT_TRUE(Plots().empty());
    EXPECT_EQ(DeleteGraphPlot(panel, MAIN_GRAPH, handle, VAL_IMMEDIATE_DRAW), UIEInvalidPlot);
}

TEST_F(GraphTest, MissingValuesAreGapsInfiniteOnesAndEmptyDataAreRefused) {
    const std::vector<double> withGap = {1.0, kNaN, 3.0};
    const int gap =
        PlotY(panel, MAIN_GRAPH, withGap, VAL_CONNECTED_POINTS, VAL_SOLID_CIRCLE, VAL_SOLID, 0);
    ASSERT_GT(gap, 0);
    ASSERT_EQ(Plots()[0].y.size(), 3U);  // sample 2 stays sample 2
    EXPECT_TRUE(std::isnan(Plots()[0].y[1]));
    EXPECT_EQ(Plots()[0].y[2], 3.0);

    const std::vector<double> infinite = {1.0, kInf};
    const std::vector<double> two = {1.0, 2.0};
    const std::vector<double> three = {1.0, 2.0, 3.0};
    const std::vector<double> none;
    EXPECT_EQ(PlotY(panel, MAIN_GRAPH, infinite, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0),
              UIEInvalidArgument);
    EXPECT_EQ(PlotY(panel, MAIN_GRAPH, none, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0),
              UIEInvalidArgument);
    EXPECT_EQ(PlotXY(panel, MAIN_GRAPH, two, three, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0),
              UIEInvalidArgument);
    EXPECT_EQ(PlotXY(panel, MAIN_GRAPH, infinite, two, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0),
              UIEInvalidArgument);
    EXPECT_EQ(PlotLine(panel, MAIN_GRAPH, 0, kNaN, 1, 1, 0), UIEInvalidArgument);
    EXPECT_EQ(PlotLine(panel, MAIN_GRAPH, 0, 1, -kInf, 1, 0), UIEInvalidArgument);
    EXPECT_EQ(PlotPoint(panel, MAIN_GRAPH, kNaN, 1, 0), UIEInvalidArgument);
    // Unknown styles and colours.
    EXPECT_EQ(PlotY(panel, MAIN_GRAPH, two, 42, VAL_SOLID_CIRCLE, VAL_SOLID, 0),
              UIEInvalidArgument);
    EXPECT_EQ(PlotY(panel, MAIN_GRAPH, two, VAL_SCATTER, -1, VAL_SOLID, 0), UIEInvalidArgument);
    EXPECT_EQ(PlotY(panel, MAIN_GRAPH, two, VAL_SCATTER, VAL_SOLID_CIRCLE, 9, 0),
              UIEInvalidArgument);
    EXPECT_EQ(PlotY(panel, MAIN_GRAPH, two, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, -1),
              UIEInvalidArgument);
    EXPECT_EQ(PlotLine(panel, MAIN_GRAPH, 0, 1, 1, 1, 0x1000000), UIEInvalidArgument);
    EXPECT_EQ(Plots().size(), 1U);  // nothing refused was added
}

TEST_F(GraphTest, GraphOperationsOnOtherControlsAndBadHandlesFail) {
    const std::vector<double> y = {1.0};
    EXPECT_EQ(PlotY(panel, MAIN_TABLE, y, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0),
              UIEAttributeNotValid);
    EXPECT_EQ(PlotLine(panel, MAIN_LOG, 0, 0, 1, 1, 0), UIEAttributeNotValid);
    EXPECT_EQ(DeleteGraphPlot(panel, MAIN_BUTTON, VAL_ALL_PLOTS, VAL_IMMEDIATE_DRAW),
              UIEAttributeNotValid);
    EXPECT_EQ(SetAxisScalingMode(panel, MAIN_VOLTS, VAL_XAXIS, VAL_AUTOSCALE, 0, 0),
              UIEAttributeNotValid);
    EXPECT_EQ(PlotPoint(panel, 99, 0, 0, 0), UIEInvalidControl);
    EXPECT_EQ(PlotPoint(12345, MAIN_GRAPH, 0, 0, 0), UIEHandleInvalid);
    EXPECT_EQ(SetCtrlAttribute(panel, MAIN_TABLE, ATTR_XNAME, "x"), UIEAttributeNotValid);
    EXPECT_EQ(SetCtrlVal(panel, MAIN_GRAPH, 1.0), UIEWrongType);  // plots are no value
    EXPECT_STREQ(GetUILErrorString(UIEInvalidPlot), "no plot with that handle on the graph");
}

TEST_F(GraphTest, DiscardingThePanelFreesItsPlots) {
    const std::vector<double> y(1000, 1.0);
    ASSERT_GT(PlotY(panel, MAIN_GRAPH, y, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0), 0);
    ASSERT_EQ(DiscardPanel(panel), 0);
    EXPECT_EQ(FindControl(panel, MAIN_GRAPH), nullptr);
    EXPECT_EQ(PlotY(panel, MAIN_GRAPH, y, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0),
              UIEHandleInvalid);
    // A fresh panel starts without plots.
    const int again = LoadPanel(0, kResourceName, MAIN);
    ASSERT_GT(again, 0);
    EXPECT_TRUE(FindControl(again, MAIN_GRAPH)->plots.empty());
}

TEST_F(GraphTest, AxisNamesComeFromTheResourceAndCanChange) {
    std::string name;
    ASSERT_EQ(GetCtrlAttribute(panel, MAIN_GRAPH, ATTR_XNAME, name), 0);
    EXPECT_EQ(name, "sample");
    ASSERT_EQ(GetCtrlAttribute(panel, MAIN_GRAPH, ATTR_YNAME, name), 0);
    EXPECT_EQ(name, "U, V");
    ASSERT_EQ(SetCtrlAttribute(panel, MAIN_GRAPH, ATTR_YNAME, "U, мВ"), 0);
    EXPECT_EQ(FindControl(panel, MAIN_GRAPH)->yAxis.name, "U, мВ");
    EXPECT_EQ(FindControl(panel, MAIN_GRAPH)->label, "Samples");
}

TEST_F(GraphTest, AutoscaleHoldsEveryValueOnRoundTicksAndKeepsBandEdgesOffTheFrame) {
    // Nothing plotted: a fixed default range.
    AxisRange x = GraphAxisRange(*FindControl(panel, MAIN_GRAPH), VAL_XAXIS);
    EXPECT_EQ(x.min, 0.0);
    EXPECT_EQ(x.max, 10.0);

    // 100 samples around 1 V, and the band 1 V +- 1 mV drawn as lines.
    std::vector<double> samples(100);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = 1.0 + 0.0004 * std::sin(static_cast<double>(i));
    }
    samples[17] = kNaN;  // a gap takes no part in the scale
    ASSERT_GT(PlotY(panel, MAIN_GRAPH, samples, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0), 0);
    ASSERT_GT(PlotLine(panel, MAIN_GRAPH, 0, 0.999, 99, 0.999, 0), 0);
    ASSERT_GT(PlotLine(panel, MAIN_GRAPH, 0, 1.001, 99, 1.001, 0), 0);
    const Control& graph = *FindControl(panel, MAIN_GRAPH);
    x = GraphAxisRange(graph, VAL_XAXIS);
    EXPECT_LT(x.min, 0.0);           // sample 0 is not on the frame
    EXPECT_GT(x.min, -5.0);          // but the axis is not a tick longer for it
    EXPECT_DOUBLE_EQ(x.max, 100.0);  // sample 99 is far enough inside
    EXPECT_DOUBLE_EQ(x.tick, 20.0);
    EXPECT_EQ(x.decimals, 0);
    const AxisRange y = GraphAxisRange(graph, VAL_LEFT_YAXIS);
    EXPECT_DOUBLE_EQ(y.tick, 0.0005);
    EXPECT_EQ(y.decimals, 4);
    EXPECT_LT(y.min, 0.999 - y.tick / 2);  // the band's edges do not lie on the frame
    EXPECT_GT(y.max, 1.001 + y.tick / 2);
    EXPECT_LT(y.max - y.min, 0.0041);  // and the band still fills most of the height

    int mode = -1;
    double min = 0;
    double max = 0;
    ASSERT_EQ(GetAxisScalingMode(panel, MAIN_GRAPH, VAL_LEFT_YAXIS, mode, min, max), 0);
    EXPECT_EQ(mode, VAL_AUTOSCALE);
    EXPECT_EQ(min, y.min);
    EXPECT_EQ(max, y.max);

    // Values so far apart that their distance is no double: still a finite range holding them.
    ASSERT_EQ(DeleteGraphPlot(panel, MAIN_GRAPH, VAL_ALL_PLOTS, VAL_IMMEDIATE_DRAW), 0);
    const std::vector<double> extremes = {-1e308, 1e308};
    ASSERT_GT(PlotY(panel, MAIN_GRAPH, extremes, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0), 0);
    const AxisRange wide = GraphAxisRange(*FindControl(panel, MAIN_GRAPH), VAL_LEFT_YAXIS);
    EXPECT_TRUE(std::isfinite(wide.min) && std::isfinite(wide.max) && std::isfinite(wide.tick));
    EXPECT_LE(wide.min, -1e308);
    EXPECT_GE(wide.max, 1e308);
    EXPECT_GT(wide.tick, 0.0);

    // One value only: a range around it.
    ASSERT_EQ(DeleteGraphPlot(panel, MAIN_GRAPH, VAL_ALL_PLOTS, VAL_IMMEDIATE_DRAW), 0);
    ASSERT_GT(PlotPoint(panel, MAIN_GRAPH, 5.0, -2.0, 0), 0);
    const AxisRange single = GraphAxisRange(*FindControl(panel, MAIN_GRAPH), VAL_LEFT_YAXIS);
    EXPECT_LT(single.min, -2.0);
    EXPECT_GT(single.max, -2.0);
}

TEST_F(GraphTest, ManualScalingShowsTheGivenRangeAndRefusesNonsense) {
    ASSERT_EQ(SetAxisScalingMode(panel, MAIN_GRAPH, VAL_LEFT_YAXIS, VAL_MANUAL, 0.998, 1.002), 0);
    const std::vector<double> y = {5.0};
    ASSERT_GT(PlotY(panel, MAIN_GRAPH, y, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0), 0);
    const AxisRange range = GraphAxisRange(*FindControl(panel, MAIN_GRAPH), VAL_LEFT_YAXIS);
    EXPECT_EQ(range.min, 0.998);  // values outside stay outside
    EXPECT_EQ(range.max, 1.002);

    EXPECT_EQ(SetAxisScalingMode(panel, MAIN_GRAPH, VAL_XAXIS, VAL_MANUAL, 1.0, 1.0),
              UIEInvalidArgument);
    EXPECT_EQ(SetAxisScalingMode(panel, MAIN_GRAPH, VAL_XAXIS, VAL_MANUAL, 2.0, 1.0),
              UIEInvalidArgument);
    EXPECT_EQ(SetAxisScalingMode(panel, MAIN_GRAPH, VAL_XAXIS, VAL_MANUAL, 0.0, kNaN),
              UIEInvalidArgument);
    EXPECT_EQ(SetAxisScalingMode(panel, MAIN_GRAPH, VAL_XAXIS, 5, 0.0, 1.0), UIEInvalidArgument);
    EXPECT_EQ(SetAxisScalingMode(panel, MAIN_GRAPH, 7, VAL_AUTOSCALE, 0.0, 1.0),
              UIEInvalidArgument);
    EXPECT_EQ(FindControl(panel, MAIN_GRAPH)->xAxis.mode, VAL_AUTOSCALE);

    ASSERT_EQ(SetAxisScalingMode(panel, MAIN_GRAPH, VAL_LEFT_YAXIS, VAL_AUTOSCALE, 0, 0), 0);
    const AxisRange autoscaled = GraphAxisRange(*FindControl(panel, MAIN_GRAPH), VAL_LEFT_YAXIS);
    EXPECT_LT(autoscaled.min, 5.0);
    EXPECT_GT(autoscaled.max, 5.0);
}

// A front end lays out one tick per interval: whatever the values, no axis has more than 20, and
// neighbouring ticks are different doubles.
TEST_F(GraphTest, TicksStayFewAndDistinctWhateverThePlotsHold) {
    const std::vector<std::vector<double>> cases = {
        {kNaN, 1.0}, {5.0, 5.0, 5.0},  {-1e308, 1e308}, {1.0, std::nextafter(1.0, 2.0)},
        {0.0},       {1e-300, 2e-300}, {-0.9, 0.9},     {1e300, 1e300 * (1 + 1e-15)},
    };
    const auto check = [](const AxisRange& r, const std::string& what) {
        EXPECT_TRUE(std::isfinite(r.min) && std::isfinite(r.max) && std::isfinite(r.tick)) << what;
        EXPECT_LT(r.min, r.max) << what;
        EXPECT_LE((r.max / 2 - r.min / 2) / (r.tick / 2), 20.0) << what;
        EXPECT_NE(r.min + r.tick, r.min) << what;
    };
    for (const auto& values : cases) {
        ASSERT_EQ(DeleteGraphPlot(panel, MAIN_GRAPH, VAL_ALL_PLOTS, VAL_IMMEDIATE_DRAW), 0);
        ASSERT_GT(PlotY(panel, MAIN_GRAPH, values, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0), 0);
        const Control& graph = *FindControl(panel, MAIN_GRAPH);
        check(GraphAxisRange(graph, VAL_XAXIS), "x of " + std::to_string(values.back()));
        check(GraphAxisRange(graph, VAL_LEFT_YAXIS), "y of " + std::to_string(values.back()));
    }
    // A manual range narrower than a double can tell apart is shown around its values.
    const double one = 1.0;
    ASSERT_EQ(SetAxisScalingMode(panel, MAIN_GRAPH, VAL_LEFT_YAXIS, VAL_MANUAL, one,
                                 std::nextafter(one, 2.0)),
              0);
    check(GraphAxisRange(*FindControl(panel, MAIN_GRAPH), VAL_LEFT_YAXIS), "manual");
}

TEST(GraphResourceTest, AxisRangesAreReadAndCheckedWithTheResource) {
    RegisterResource("graph.uir", R"(
panels:
  - number: 1
    constant: G
    controls:
      - {number: 2, constant: FIXED, kind: graph, x_min: 0, x_max: 99, y_min: -0.5, y_max: 2.5e-1}
      - {number: 3, constant: PLAIN, kind: graph}
)");
    const int panel = LoadPanel(0, "graph.uir", 1);
    ASSERT_GT(panel, 0);
    const Control* fixed = FindControl(panel, 2);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->kind, CtrlKind::Graph);
    EXPECT_STREQ(CtrlKindName(fixed->kind), "graph");
    EXPECT_EQ(fixed->xAxis.mode, VAL_MANUAL);
    EXPECT_EQ(fixed->xAxis.max, 99.0);
    EXPECT_EQ(fixed->yAxis.mode, VAL_MANUAL);
    EXPECT_EQ(fixed->yAxis.min, -0.5);
    EXPECT_EQ(fixed->yAxis.max, 0.25);
    const Control* plain = FindControl(panel, 3);
    EXPECT_EQ(plain->xAxis.mode, VAL_AUTOSCALE);
    EXPECT_EQ(plain->yAxis.mode, VAL_AUTOSCALE);
    EXPECT_TRUE(plain->xAxis.name.empty());
    EXPECT_GT(plain->geometry.width, 0);  // a usable size without geometry
    EXPECT_GT(plain->geometry.height, 0);

    for (const char* axes :
         {"y_min: 1", "x_max: 3", "y_min: 2, y_max: 1", "x_min: 1, x_max: 1",
          "y_min: .nan, y_max: 1", "x_min: 0, x_max: .inf", "y_min: a, y_max: 1"}) {
        RegisterResource("bad.uir", std::string("panels: [{number: 1, constant: G, controls: "
                                                "[{number: 2, constant: X, kind: graph, ") +
                                        axes + "}]}]");
        EXPECT_EQ(LoadPanel(0, "bad.uir", 1), UIEBadResource) << axes;
    }
    ResetUserInterface();
}

TEST(GraphResourceTest, GraphsBuiltAtRunTimeTakePlots) {
    const int panel = NewPanel(0, "run time", 10, 10, 300, 500);
    ASSERT_GT(panel, 0);
    const int graph = NewCtrl(panel, CTRL_GRAPH, "g", 5, 5);
    ASSERT_GT(graph, 0);
    EXPECT_EQ(FindControl(panel, graph)->kind, CtrlKind::Graph);
    const std::vector<double> y = {1, 2};
    EXPECT_GT(PlotY(panel, graph, y, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0), 0);
    ResetUserInterface();
}

// Records the graph notifications a front end gets.
class GraphRecorder : public HeadlessFrontEnd {
  public:
    void GraphPlotsChanged(int panel, int control) override {
        changes.emplace_back(panel, control);
    }
    std::vector<std::pair<int, int>> changes;
};

TEST(GraphNotificationTest, EveryChangeOfPlotsOrScalingIsNotifiedRefusalsAreNot) {
    GraphRecorder recorder;
    SetFrontEnd(&recorder);
    const int panel = LoadMain();
    ASSERT_GT(panel, 0);
    const std::vector<double> y = {1, 2};
    const int plot = PlotY(panel, MAIN_GRAPH, y, VAL_SCATTER, VAL_SOLID_CIRCLE, VAL_SOLID, 0);
    SetPlotAttribute(panel, MAIN_GRAPH, plot, ATTR_TRACE_COLOR, VAL_RED);
    SetAxisScalingMode(panel, MAIN_GRAPH, VAL_XAXIS, VAL_MANUAL, 0, 5);
    DeleteGraphPlot(panel, MAIN_GRAPH, plot, VAL_IMMEDIATE_DRAW);
    DefaultCtrl(panel, MAIN_GRAPH);
    EXPECT_EQ(recorder.changes.size(), 5U);
    PlotY(panel, MAIN_GRAPH, y, 42, VAL_SOLID_CIRCLE, VAL_SOLID, 0);
    DeleteGraphPlot(panel, MAIN_GRAPH, 999, VAL_IMMEDIATE_DRAW);
    EXPECT_EQ(recorder.changes.size(), 5U);
    for (const auto& [p, c] : recorder.changes) {
        EXPECT_EQ(p, panel);
        EXPECT_EQ(c, MAIN_GRAPH);
    }
    ResetUserInterface();
}

}  // namespace
}  // namespace qm7x::ui
