#include "qm7x/verify/point_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "p_qm7x.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/printf_numbers.h"
#include "qm7x/verify/protocol_text.h"

namespace qm7x::verify {
namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();
constexpr int kKeptColor = ui::VAL_DK_BLUE;
constexpr int kDroppedColor = ui::VAL_RED;
constexpr int kMeasuredColor = ui::VAL_DK_GREEN;
constexpr int kNominalColor = ui::VAL_BLACK;
constexpr int kBandColor = ui::VAL_DK_RED;
constexpr int kMinimumTextWidth = 120;
constexpr int kMargin = 6;  // between the text box and the plot

// A horizontal line over the samples' indices, with its legend text (empty: none).
void level(int panel, double y, double lastIndex, int color, int lineStyle,
           const std::string& legend, int plotStyle = ui::VAL_THIN_LINE) {
    if (!std::isfinite(y)) {
        return;
    }
    const int plot = ui::PlotLine(panel, CHLP_PLOT, 0.0, y, lastIndex, y, color);
    if (plot > 0) {
        ui::SetPlotAttribute(panel, CHLP_PLOT, plot, ui::ATTR_LINE_STYLE, lineStyle);
        ui::SetPlotAttribute(panel, CHLP_PLOT, plot, ui::ATTR_PLOT_STYLE, plotStyle);
        if (!legend.empty()) {
            ui::SetPlotAttribute(panel, CHLP_PLOT, plot, ui::ATTR_PLOT_LG_TEXT, legend);
        }
    }
}

// The samples with the others' places left as gaps, so that point i stays sample i.
int samplesWhere(int panel, std::span<const double> samples, const DeviationResult& result,
                 bool kept, int pointStyle, int color, const std::string& legend) {
    std::vector<double> y(samples.size(), kGap);
    bool any = false;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if ((result.kept[i] != 0) == kept && std::isfinite(samples[i])) {
            y[i] = samples[i];
            any = true;
        }
    }
    if (!any) {
        return 0;
    }
    const int plot =
        ui::PlotY(panel, CHLP_PLOT, y, ui::VAL_SCATTER, pointStyle, ui::VAL_SOLID, color);
    if (plot > 0) {
        ui::SetPlotAttribute(panel, CHLP_PLOT, plot, ui::ATTR_PLOT_LG_TEXT, legend);
    }
    return plot;
}

}  // namespace

void ShowPointPlot(int panel, std::span<const double> samples, const DeviationResult& result,
                   int channel, double un, double tolerance) {
    ui::DeleteGraphPlot(panel, CHLP_PLOT, ui::VAL_ALL_PLOTS, ui::VAL_DELAYED_DRAW);
    ui::SetCtrlAttribute(panel, CHLP_PLOT, ui::ATTR_LABEL_TEXT,
                         "Последняя точка: канал " + std::to_string(channel) + ", Un " +
                             FormatExp(un, 3) + " В: " + (result.verdict != 0 ? kOutOf : kWithin));
    if (samples.empty()) {
        return;
    }
    const double lastIndex = static_cast<double>(samples.size() - 1);
    level(panel, un + tolerance, lastIndex, kBandColor, ui::VAL_DASH, "Un ± допуск");
    level(panel, un - tolerance, lastIndex, kBandColor, ui::VAL_DASH, "");
    level(panel, un, lastIndex, kNominalColor, ui::VAL_SOLID, "Un");
    samplesWhere(panel, samples, result, true, ui::VAL_SOLID_CIRCLE, kKeptColor, "учтённые");
    samplesWhere(panel, samples, result, false, ui::VAL_EMPTY_SQUARE, kDroppedColor, "отброшенные");
    // The measured value, plotted last and thick: it lies within the samples it was taken from.
    level(panel, result.ux, lastIndex, kMeasuredColor, ui::VAL_SOLID, "Ux", ui::VAL_FAT_LINE);
}

void LayOutProtocolPanel(int panel) {
    int width = 0, height = 0;
    ui::GetPanelAttribute(panel, ui::ATTR_WIDTH, width);
    ui::GetPanelAttribute(panel, ui::ATTR_HEIGHT, height);
    int logTop = 0, logLeft = 0, plotTop = 0, plotWidth = 0;
    ui::GetCtrlAttribute(panel, CHLP_LOG, ui::ATTR_TOP, logTop);
    ui::GetCtrlAttribute(panel, CHLP_LOG, ui::ATTR_LEFT, logLeft);
    ui::GetCtrlAttribute(panel, CHLP_PLOT, ui::ATTR_TOP, plotTop);
    ui::GetCtrlAttribute(panel, CHLP_PLOT, ui::ATTR_WIDTH, plotWidth);

    // The plot keeps the text box's left margin at the right edge.
    const int logWidth = std::max(kMinimumTextWidth, width - 2 * logLeft - kMargin - plotWidth);
    ui::SetCtrlAttribute(panel, CHLP_LOG, ui::ATTR_HEIGHT, std::max(0, height - logTop));
    ui::SetCtrlAttribute(panel, CHLP_LOG, ui::ATTR_WIDTH, logWidth);
    ui::SetCtrlAttribute(panel, CHLP_PLOT, ui::ATTR_LEFT, logLeft + logWidth + kMargin);
    ui::SetCtrlAttribute(panel, CHLP_PLOT, ui::ATTR_HEIGHT, std::max(0, height - plotTop));
}

}  // namespace qm7x::verify
