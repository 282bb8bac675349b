// The module-history panel as the operator sees it through the Qt front end: the sessions with
// their points and calibrations in the text box, and the drift plot with one series per channel
// and nominal voltage, each named in the legend.
#include <gtest/gtest.h>

#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QXYSeries>
#include <filesystem>
#include <set>

#include "p_qm7x.h"
#include "qm7x/app/history_panel.h"
#include "qm7x/results/store.h"
#include "qt_fixture.h"
#include "text_box.h"

namespace qm7x::ui::qt {
namespace {

using testing::QtFrontEndTest;

class HistoryPanelTest : public QtFrontEndTest {
  protected:
    void SetUp() override {
        QtFrontEndTest::SetUp();
        std::filesystem::remove(file_);
        store_ = results::ResultsStore::Open(file_.string());
    }
    void TearDown() override {
        store_.reset();
        std::filesystem::remove(file_);
        QtFrontEndTest::TearDown();
    }
    // A session of the serial on the day, with channel 1 at 9 V and channel 2 at 0.9 V.
    void session(const std::string& serial, const std::string& day, double drift) {
        results::SessionRecord s;
        s.serial = serial;
        s.recorded_at = day + "T10:00:00+03:00";
        s.carrier_text = "TRHOLDR Н.М., крейт 1, слот 5";
        s.operator_name = "metrologist";
        const auto id = store_->RecordSession(s);
        for (auto [channel, un] : {std::pair{1, 9.0}, std::pair{2, 0.9}}) {
            results::PointRecord p;
            p.session_id = id;
            p.recorded_at = s.recorded_at;
            p.channel = channel;
            p.range_v = channel == 1 ? 10.0 : 1.0;
            p.un = un;
            p.ux = un * (1 + drift);
            p.verdict = "Норма";
            store_->RecordPoint(p);
        }
    }

    std::filesystem::path file_ = std::filesystem::temp_directory_path() /
                                  ("qm7x_history_panel_" + std::to_string(::getpid()) + ".sqlite");
    std::unique_ptr<results::ResultsStore> store_;
};

TEST_F(HistoryPanelTest, ListsTheModulesSessionsAndPlotsEachTestPointsDrift) {
    session("QM7X-0412", "2026-11-01", 1e-5);
    session("QM7X-0999", "2026-11-15", 5e-3);  // another module: not in this history
    session("QM7X-0412", "2026-12-01", 3e-5);
    results::CalibrationRecord c;
    c.session_id = 3;
    c.channel = 1;
    c.gain_first_before = 1.19e-6;
    c.gain_first_after = 1.2e-6;
    store_->RecordCalibration(c);

    const int panel = app::ShowHistory("QM7X-0412", *store_);
    ASSERT_GT(panel, 0);
    Settle();
    ASSERT_TRUE(PanelWidget(panel)->isVisible());

    auto* box = Widget<TextBox>(panel, HP_SESSIONS);
    ASSERT_NE(box, nullptr);
    const QString text = box->toPlainText();
    EXPECT_EQ(text.count("Сеанс "), 2);
    EXPECT_EQ(text.count("точка "), 4);
    EXPECT_EQ(text.count("калибровка "), 1);
    EXPECT_FALSE(text.contains("2026-11-15"));

    auto* view = Widget<QChartView>(panel, HP_DRIFT);
    ASSERT_NE(view, nullptr);
    std::set<QString> legends;
    int pointsDrawn = 0;
    for (QLegendMarker* marker : view->chart()->legend()->markers()) {
        if (marker->isVisible()) {
            legends.insert(marker->label());
        }
    }
    for (QAbstractSeries* series : view->chart()->series()) {
        if (auto* xy = qobject_cast<QXYSeries*>(series); xy != nullptr && xy->count() > 0) {
            pointsDrawn = std::max(pointsDrawn, static_cast<int>(xy->count()));
            // Thirty days apart: the last point of a series lies 30 days after the first.
            EXPECT_DOUBLE_EQ(xy->at(xy->count() - 1).x(), 30.0);
        }
    }
    EXPECT_EQ(legends, (std::set<QString>{"к1 10 В: Un 9 В", "к2 1 В: Un 0.9 В"}));
    EXPECT_EQ(pointsDrawn, 2);

    // Shown again for a module without a record: the panel says so and the plot is empty.
    app::ShowHistory("QM7X-none", *store_);
    Settle();
    EXPECT_TRUE(box->toPlainText().contains("нет записей"));
    for (QAbstractSeries* series : view->chart()->series()) {
        auto* xy = qobject_cast<QXYSeries*>(series);
        EXPECT_TRUE(xy == nullptr || xy->count() == 0);
    }
}

}  // namespace
}  // namespace qm7x::ui::qt
