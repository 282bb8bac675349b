// Graphs: plots held in the model (points, styles, colours), axis scaling, and the axis ranges
// front ends draw.
#include <algorithm>
#include <cmath>
#include <limits>

#include "runtime.h"

namespace qm7x::ui {

using detail::Lookup;
using detail::Notify;

namespace {

int LookupGraph(int panel, int control, Control*& c) {
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    return c->kind == CtrlKind::Graph ? 0 : UIEAttributeNotValid;
}

int LookupPlot(int panel, int control, int handle, Control*& c, Plot*& plot) {
    if (int e = LookupGraph(panel, control, c); e < 0) {
        return e;
    }
    auto it = std::find_if(c->plots.begin(), c->plots.end(),
                           [&](const Plot& p) { return p.handle == handle; });
    if (it == c->plots.end()) {
        return UIEInvalidPlot;
    }
    plot = &*it;
    return 0;
}

bool ValidColor(int color) {
    return color >= 0 && color <= 0xFFFFFF;
}
bool ValidPlotStyle(int style) {
    return style >= VAL_THIN_LINE && style <= VAL_CONNECTED_POINTS;
}
bool ValidPointStyle(int style) {
    return style >= VAL_NO_POINT && style <= VAL_SIMPLE_DOT;
}
bool ValidLineStyle(int style) {
    return style >= VAL_SOLID && style <= VAL_DASH_DOT;
}

// A missing value (NaN) is a gap and kept; an infinite one cannot be drawn or scaled.
bool NoInfinity(std::span<const double> values) {
    return std::none_of(values.begin(), values.end(), [](double v) { return std::isinf(v); });
}

int AddPlot(int panel, int control, Plot plot) {
    Control* c = nullptr;
    if (int e = LookupGraph(panel, control, c); e < 0) {
        return e;
    }
    if (!ValidPlotStyle(plot.plotStyle) || !ValidPointStyle(plot.pointStyle) ||
        !ValidLineStyle(plot.lineStyle) || !ValidColor(plot.color)) {
        return UIEInvalidArgument;
    }
    if (c->lastPlotHandle == std::numeric_limits<int>::max()) {
        return UIEInvalidArgument;  // handles are never reused, and these are all used up
    }
    plot.handle = ++c->lastPlotHandle;
    const int handle = plot.handle;
    c->plots.push_back(std::move(plot));
    Notify([&](FrontEnd& fe) { fe.GraphPlotsChanged(panel, control); });
    return handle;
}

GraphAxis* AxisOf(Control& c, int axis) {
    switch (axis) {
        case VAL_XAXIS:
            return &c.xAxis;
        case VAL_LEFT_YAXIS:
            return &c.yAxis;
        default:
            return nullptr;
    }
}

// A tick distance of 1, 2 or 5 times a power of ten giving about five intervals over `span`.
double NiceTick(double span) {
    const double raw = span / 5.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double n = raw / magnitude;
    return (n <= 1.0 ? 1.0 : n <= 2.0 ? 2.0 : n <= 5.0 ? 5.0 : 10.0) * magnitude;
}

// Digits after the point for tick labels; beyond 15 a double has no more to show.
int TickDecimals(double tick) {
    return std::clamp(static_cast<int>(-std::floor(std::log10(tick) + 1e-9)), 0, 15);
}

// A front end lays out one tick per interval: whatever the values, an axis has a bounded number
// of them, each a representable distance apart.
constexpr double kMaxTickIntervals = 20.0;
// Values closer than this, relative to their size, are one value to the eye and to the ticks.
constexpr double kRelativeResolution = 1e-9;

void BoundTicks(AxisRange& range) {
    // Halves: the distance of values near the ends of the double range is no double itself.
    const double halfSpan = range.max / 2 - range.min / 2;
    if (!(range.tick > 0.0) || !std::isfinite(range.tick)) {
        range.tick = halfSpan > 0.0 ? halfSpan : 1.0;
    }
    while (halfSpan / (range.tick / 2) > kMaxTickIntervals) {
        range.tick *= 2;
    }
    range.decimals = TickDecimals(range.tick);
}

// True when lo and hi are too close to tell apart on an axis.
bool OneValue(double lo, double hi) {
    return hi - lo <= std::max(std::abs(lo), std::abs(hi)) * kRelativeResolution;
}

}  // namespace

bool PlotDrawsLine(const Plot& plot) {
    return plot.plotStyle != VAL_SCATTER;
}

bool PlotDrawsPoints(const Plot& plot) {
    return plot.pointStyle != VAL_NO_POINT &&
           (plot.plotStyle == VAL_SCATTER || plot.plotStyle == VAL_CONNECTED_POINTS);
}

AxisRange GraphAxisRange(const Control& graph, int axis) {
    const bool x = axis == VAL_XAXIS;
    const GraphAxis& a = x ? graph.xAxis : graph.yAxis;
    AxisRange range;
    if (a.mode == VAL_MANUAL && !OneValue(a.min, a.max)) {
        range.min = a.min;
        range.max = a.max;
        const double span = a.max - a.min;
        range.tick = std::isfinite(span) ? NiceTick(span) : NiceTick(a.max / 2 - a.min / 2) * 2;
        BoundTicks(range);
        return range;
    }
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    if (a.mode == VAL_MANUAL) {
        lo = a.min;
        hi = a.max;
    } else {
        for (const Plot& p : graph.plots) {
            for (double v : x ? p.x : p.y) {
                if (std::isfinite(v)) {
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
            }
        }
    }
    if (lo > hi) {
        BoundTicks(range);
        return range;  // nothing plotted
    }
    if (OneValue(lo, hi)) {  // one value: a range around it
        const double centre = lo / 2 + hi / 2;
        const double half = centre == 0.0 ? 1.0 : std::abs(centre) * 0.1;
        lo = centre - half;
        hi = centre + half;
    }
    if (!std::isfinite(hi - lo)) {  // values near the ends of the double range
        range.min = lo;
        range.max = hi;
        range.tick = NiceTick(hi / 2 - lo / 2) * 2;
        BoundTicks(range);
        return range;
    }
    range.tick = NiceTick(hi - lo);
    const double tolerance = range.tick * 1e-9;  // for values that are a tick multiple
    range.min = std::floor(lo / range.tick + 1e-9) * range.tick;
    range.max = std::ceil(hi / range.tick - 1e-9) * range.tick;
    if (x) {
        // Points on the left or right edge keep their whole marker inside the frame; the ticks
        // stay on round values.
        const double margin = (range.max - range.min) * 0.02;
        if (lo - range.min < margin / 2) {
            range.min -= margin;
        }
        if (range.max - hi < margin / 2) {
            range.max += margin;
        }
    } else {
        // Values on the vertical edges (a tolerance band drawn as lines) stay clear of the frame.
        if (lo - range.min < range.tick * 0.05 + tolerance) {
            range.min -= range.tick;
        }
        if (range.max - hi < range.tick * 0.05 + tolerance) {
            range.max += range.tick;
        }
    }
    if (!std::isfinite(range.min) || !std::isfinite(range.max)) {  // widened past the double range
        range.min = lo;
        range.max = hi;
    }
    BoundTicks(range);
    return range;
}

int PlotY(int panel, int control, std::span<const double> y, int plotStyle, int pointStyle,
          int lineStyle, int color) {
    if (y.empty() || !NoInfinity(y)) {
        return UIEInvalidArgument;
    }
    Plot plot;
    plot.kind = PlotKind::Y;
    plot.y.assign(y.begin(), y.end());
    plot.x.resize(y.size());
    for (std::size_t i = 0; i < y.size(); ++i) {
        plot.x[i] = static_cast<double>(i);
    }
    plot.plotStyle = plotStyle;
    plot.pointStyle = pointStyle;
    plot.lineStyle = lineStyle;
    plot.color = color;
    return AddPlot(panel, control, std::move(plot));
}

int PlotXY(int panel, int control, std::span<const double> xs, std::span<const double> ys,
           int plotStyle, int pointStyle, int lineStyle, int color) {
    if (xs.empty() || xs.size() != ys.size() || !NoInfinity(xs) || !NoInfinity(ys)) {
        return UIEInvalidArgument;
    }
    Plot plot;
    plot.kind = PlotKind::XY;
    plot.x.assign(xs.begin(), xs.end());
    plot.y.assign(ys.begin(), ys.end());
    plot.plotStyle = plotStyle;
    plot.pointStyle = pointStyle;
    plot.lineStyle = lineStyle;
    plot.color = color;
    return AddPlot(panel, control, std::move(plot));
}

int PlotLine(int panel, int control, double x1, double y1, double x2, double y2, int color) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
        return UIEInvalidArgument;
    }
    Plot plot;
    plot.kind = PlotKind::Line;
    plot.x = {x1, x2};
    plot.y = {y1, y2};
    plot.color = color;
    return AddPlot(panel, control, std::move(plot));
}

int PlotPoint(int panel, int control, double x, double y, int color) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return UIEInvalidArgument;
    }
    Plot plot;
    plot.kind = PlotKind::Point;
    plot.x = {x};
    plot.y = {y};
    plot.plotStyle = VAL_SCATTER;
    plot.pointStyle = VAL_SOLID_SQUARE;
    plot.color = color;
    return AddPlot(panel, control, std::move(plot));
}

int DeleteGraphPlot(int panel, int control, int plotHandle, int refresh) {
    Control* c = nullptr;
    if (int e = LookupGraph(panel, control, c); e < 0) {
        return e;
    }
    if (refresh < VAL_NO_DRAW || refresh > VAL_IMMEDIATE_DRAW) {
        return UIEInvalidArgument;
    }
    if (plotHandle == VAL_ALL_PLOTS) {
        c->plots.clear();
    } else if (std::erase_if(c->plots, [&](const Plot& p) { return p.handle == plotHandle; }) ==
               0) {
        return UIEInvalidPlot;
    }
    Notify([&](FrontEnd& fe) { fe.GraphPlotsChanged(panel, control); });
    return 0;
}

int SetPlotAttribute(int panel, int control, int plotHandle, int attribute, int value) {
    Control* c = nullptr;
    Plot* plot = nullptr;
    if (int e = LookupPlot(panel, control, plotHandle, c, plot); e < 0) {
        return e;
    }
    int* field = nullptr;
    bool valid = false;
    switch (attribute) {
        case ATTR_TRACE_COLOR:
            field = &plot->color;
            valid = ValidColor(value);
            break;
        case ATTR_PLOT_STYLE:
            field = &plot->plotStyle;
            valid = ValidPlotStyle(value);
            break;
        case ATTR_TRACE_POINT_STYLE:
            field = &plot->pointStyle;
            valid = ValidPointStyle(value);
            break;
        case ATTR_LINE_STYLE:
            field = &plot->lineStyle;
            valid = ValidLineStyle(value);
            break;
        default:
            return UIEAttributeNotValid;
    }
    if (!valid) {
        return UIEInvalidArgument;
    }
    *field = value;
    Notify([&](FrontEnd& fe) { fe.GraphPlotsChanged(panel, control); });
    return 0;
}

int SetPlotAttribute(int panel, int control, int plotHandle, int attribute,
                     std::string_view value) {
    Control* c = nullptr;
    Plot* plot = nullptr;
    if (int e = LookupPlot(panel, control, plotHandle, c, plot); e < 0) {
        return e;
    }
    if (attribute != ATTR_PLOT_LG_TEXT) {
        return UIEAttributeNotValid;
    }
    plot->legendText = value;
    Notify([&](FrontEnd& fe) { fe.GraphPlotsChanged(panel, control); });
    return 0;
}

int GetPlotAttribute(int panel, int control, int plotHandle, int attribute, int& value) {
    Control* c = nullptr;
    Plot* plot = nullptr;
    if (int e = LookupPlot(panel, control, plotHandle, c, plot); e < 0) {
        return e;
    }
    switch (attribute) {
        case ATTR_TRACE_COLOR:
            value = plot->color;
            return 0;
        case ATTR_PLOT_STYLE:
            value = plot->plotStyle;
            return 0;
        case ATTR_TRACE_POINT_STYLE:
            value = plot->pointStyle;
            return 0;
        case ATTR_LINE_STYLE:
            value = plot->lineStyle;
            return 0;
        default:
            return UIEAttributeNotValid;
    }
}

int GetPlotAttribute(int panel, int control, int plotHandle, int attribute, std::string& value) {
    Control* c = nullptr;
    Plot* plot = nullptr;
    if (int e = LookupPlot(panel, control, plotHandle, c, plot); e < 0) {
        return e;
    }
    if (attribute != ATTR_PLOT_LG_TEXT) {
        return UIEAttributeNotValid;
    }
    value = plot->legendText;
    return 0;
}

int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max) {
    Control* c = nullptr;
    if (int e = LookupGraph(panel, control, c); e < 0) {
        return e;
    }
    GraphAxis* a = AxisOf(*c, axis);
    if (a == nullptr) {
        return UIEInvalidArgument;
    }
    if (mode == VAL_MANUAL) {
        if (!std::isfinite(min) || !std::isfinite(max) || !(min < max)) {
            return UIEInvalidArgument;
        }
        a->min = min;
        a->max = max;
    } else if (mode != VAL_AUTOSCALE) {
        return UIEInvalidArgument;
    }
    a->mode = mode;
    Notify([&](FrontEnd& fe) { fe.GraphPlotsChanged(panel, control); });
    return 0;
}

int GetAxisScalingMode(int panel, int control, int axis, int& mode, double& min, double& max) {
    Control* c = nullptr;
    if (int e = LookupGraph(panel, control, c); e < 0) {
        return e;
    }
    const GraphAxis* a = AxisOf(*c, axis);
    if (a == nullptr) {
        return UIEInvalidArgument;
    }
    const AxisRange range = GraphAxisRange(*c, axis);
    mode = a->mode;
    min = range.min;
    max = range.max;
    return 0;
}

}  // namespace qm7x::ui
