#include "qt_program_fixture.h"

#include <unistd.h>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <fstream>

#include "binary_switch.h"
#include "p_qm7x.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/program_callbacks.h"
#include "qm7x/app/sessions.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/program/sessions.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/chklog.h"
#include "trholdr.h"

namespace qm7x::test {
namespace {

namespace fs = std::filesystem;

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "qm7x_app_qt_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

  private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);  // owned by GoogleTest

constexpr const char* kBench = R"(seed: 7
resources:
  - name: VXI0::8::INSTR
    interface: vxi
    manufacturer_id: 0xE76
    model_code: 0x10D
    slot: 5
    mainframe_la: 1
    logical_address: 8
    carrier:
      description: "TRHOLDR Н.М., крейт 1, слот 5"
      memory_bytes: 67108864
      positions:
        - qm7x:
            serial: QM7X-Q1
            acquisition: instant
            eeprom: {factory: default}
            channels: [{range_v: 10, noise_v: 0.00005}, {range_v: 1, noise_v: 0.00001},
                       {range_v: 0.1, noise_v: 0.000005}]
        - {}
        - {}
        - {}
faults: []
)";

}  // namespace

void QtProgramTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process id keeps two suites running at once (two builds) apart.
    dir_ = fs::path(::testing::TempDir()) /
           ("qm7x_app_qt_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::ofstream(dir_ / "bench.yaml") << kBench;
    ApplyReference({5.0, 0.5, 0.05});
    ::setenv("QM7X_BENCH", (dir_ / "bench.yaml").c_str(), 1);
    ::setenv("QM7X_SIM_STATE_DIR", (dir_ / "state").c_str(), 1);
    ::setenv("QM7X_VISA_LIBRARY", QM7X_SIM_VISA, 1);

    static int argc = 0;
    frontEnd_ = std::make_unique<ui::qt::QtFrontEnd>(argc, nullptr);
    ui::SetFrontEnd(frontEnd_.get());
    app::RegisterProgramCallbacks();
    ASSERT_EQ(ui::InitUserInterface(0, nullptr), 0);
    exitPopupPanel = ui::LoadPanel(0, kResourceFile, EXIT_POPUP);
    mpPanel = ui::LoadPanel(0, kResourceFile, MP);
    ASSERT_GT(mpPanel, 0);
    ui::GetPanelHandleFromTabPage(mpPanel, MP_TAB, 0, cpPanel);
    ui::GetPanelHandleFromTabPage(mpPanel, MP_TAB, 1, ppPanel);
    ui::DisplayPanel(mpPanel);
    ASSERT_EQ(app::FindVISAinstruments(), 1);
    app::CurrentInstr = &app::Instruments[0];
    app::SelMez();
    ASSERT_NE(mezSession, 0);
    ui::SetActiveTabPage(mpPanel, MP_TAB, 1);
    protocol_ = dir_ / "protocol.log";
    ui::SetCtrlVal(ppPanel, PP_FILE_NAME, protocol_.string());
    Settle();
}

void QtProgramTest::TearDown() {
    verify::DiscardChlp(verify::kProtocolLog);
    if (mezSession != 0) {
        app::closeMezSession();
    }
    if (carrierSession != 0) {
        trholdr_close(carrierSession);
        carrierSession = 0;
    }
    ui::ResetUserInterface();
    frontEnd_.reset();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

void QtProgramTest::ApplyReference(const std::array<double, 3>& volts) {
    std::ofstream(dir_ / "bench.reference.yaml")
        << "channels_v: [" << volts[0] << ", " << volts[1] << ", " << volts[2] << "]\n";
}

void QtProgramTest::Click(int panel, int control) {
    auto* button = qobject_cast<QPushButton*>(ControlWidget(panel, control));
    ASSERT_NE(button, nullptr) << "control " << control;
    QTest::mouseClick(button, Qt::LeftButton);
}

void QtProgramTest::Type(int panel, int control, const std::string& text) {
    QWidget* widget = ControlWidget(panel, control);
    ASSERT_NE(widget, nullptr) << "control " << control;
    widget->setFocus();
    if (auto* edit = widget->findChild<QLineEdit*>()) {
        edit->selectAll();
    }
    QTest::keyClicks(widget, QString::fromStdString(text));
    QTest::keyClick(widget, Qt::Key_Return);
}

void QtProgramTest::SwitchRelayIn() {
    auto* relay = qobject_cast<ui::qt::BinarySwitch*>(ControlWidget(ppPanel, PP_RELE_SWITCH));
    ASSERT_NE(relay, nullptr);
    if (!relay->isChecked()) {
        QTest::mouseClick(relay, Qt::LeftButton);
    }
}

void QtProgramTest::MeasurePoint(int channel, double volts) {
    std::array<double, 3> reference{};
    reference[static_cast<std::size_t>(channel - 1)] = volts;
    ApplyReference(reference);
    Type(ppPanel, PP_CHAN, std::to_string(channel));
    Type(ppPanel, PP_U, std::to_string(volts));
    SwitchRelayIn();
    Click(ppPanel, PP_START);
}

int QtProgramTest::ProtocolEntries() const {
    std::ifstream in(protocol_, std::ios::binary);
    int rows = 0;
    for (std::string line; std::getline(in, line);) {
        // Windows-1251: "Норма" is CD EE F0 EC E0; "Не норма" ends in "норма".
        rows += line.find("\xED\xEE\xF0\xEC\xE0") != std::string::npos ||
                        line.find("\xCD\xEE\xF0\xEC\xE0") != std::string::npos
                    ? 1
                    : 0;
    }
    return rows;
}

std::string QtProgramTest::StatusLine() const {
    std::string text;
    ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, text);
    return text;
}

void QtProgramTest::Settle() {
    for (int i = 0; i < 3; ++i) {
        ui::ProcessSystemEvents();  // as the program's loop turns: pending events, deletions
    }
}

void QueueClick(QPushButton* button) {
    const QPointF at = button->rect().center();
    const QPointF global = button->mapToGlobal(at);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QCoreApplication::postEvent(
            button, new QMouseEvent(type, at, global, Qt::LeftButton, held, Qt::NoModifier));
    }
}

}  // namespace qm7x::test
