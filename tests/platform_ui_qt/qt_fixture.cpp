#include "qt_fixture.h"

#include <QApplication>
#include <QTimer>

#include "p_qm7x.h"
#include "qm7x/ui/frontend.h"
#include "qm7x/ui/userint.h"

namespace qm7x::ui::qt::testing {
namespace {

// One QApplication for the test program; the front end of each test uses it.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "platform_ui_qt_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

  private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);  // owned by GoogleTest

}  // namespace

void QtFrontEndTest::SetUp() {
    static int argc = 0;
    frontEnd_ = std::make_unique<QtFrontEnd>(argc, nullptr);
    SetFrontEnd(frontEnd_.get());
    ASSERT_EQ(InitUserInterface(0, nullptr), 0);
    EventLog::Entries().clear();
}

void QtFrontEndTest::TearDown() {
    ResetUserInterface();
    frontEnd_.reset();
}

int QtFrontEndTest::Load(int resourceId) {
    const int panel = LoadPanel(0, "p_qm7x.uir", resourceId);
    EXPECT_GT(panel, 0) << "panel " << resourceId << ": " << GetUILErrorString(panel);
    return panel;
}

void QtFrontEndTest::Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

void OnNextModal(std::function<void(QWidget* dialog)> action) {
    auto* timer = new QTimer(qApp);  // deletes itself once it has acted
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action = std::move(action)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

std::vector<EventLog::Entry>& EventLog::Entries() {
    static std::vector<Entry> entries;
    return entries;
}

int EventLog::ControlCallback(int panel, int control, int event, void* /*data*/, int d1, int d2) {
    Entries().push_back({panel, control, event, d1, d2});
    return 0;
}

int EventLog::PanelCallback(int panel, int event, void* /*data*/, int d1, int d2) {
    Entries().push_back({panel, 0, event, d1, d2});
    return 0;
}

int EventLog::Count(int panel, int control, int event) {
    int n = 0;
    for (const Entry& e : Entries()) {
        n += e.panel == panel && e.control == control && e.event == event ? 1 : 0;
    }
    return n;
}

}  // namespace qm7x::ui::qt::testing
