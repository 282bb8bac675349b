// A verification run on a simulated bench written by the test: the program's panels headless, the
// carrier and its first QM7X opened as the selection opens them, the protocol in a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "p_qm7x.h"
#include "program_panels.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/program_callbacks.h"
#include "qm7x/app/sessions.h"
#include "qm7x/os/encoding.h"
#include "qm7x/os/local_time.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/program/sessions.h"
#include "qm7x/verify/chklog.h"
#include "qm7x/verify/verify_callbacks.h"
#include "sim_bench.h"

namespace qm7x::test {

// Channel physics of a well calibrated QM7X with a little noise, and the way it acquires.
// gainError: the true gains' relative error against the nominal ones the EEPROM holds.
inline std::string Module(const std::string& serial, const std::string& acquisition,
                          double gainError = 0.0) {
    std::ostringstream text;
    text.precision(17);
    text << "acquisition: " << acquisition << ", channels: [";
    const double ranges[] = {10.0, 1.0, 0.1};
    const double noises[] = {0.00005, 0.00001, 0.000005};
    for (int k = 0; k < 3; ++k) {
        const double gain = ranges[k] / 8388608 * (1.0 + gainError);
        text << (k > 0 ? ", " : "") << "{range_v: " << ranges[k]
             << ", gain_pos_v_per_code: " << gain << ", gain_neg_v_per_code: " << gain
             << ", noise_v: " << noises[k] << "}";
    }
    text << "]";
    return Qm7x(serial, 9.0, text.str());
}

class VerificationRun : public ProgramPanels {
  protected:
    void SetUp() override {
        ProgramPanels::SetUp();
        app::RegisterProgramCallbacks();  // the operator's actions reach the program's callbacks
        os::SetLocalTimeSource([] { return os::LocalTime{2026, 12, 6, 9, 5, 7}; });
    }
    void TearDown() override {
        verify::DiscardChlp(verify::kProtocolLog);
        os::SetLocalTimeSource({});
    }

    // Writes the bench (the module at position 1) and opens the carrier and the mezzanine.
    void open(const std::string& module, const std::vector<Fault>& faults = {}) {
        bench_.emplace(
            std::vector<std::string>{module, EmptyPosition(), EmptyPosition(), EmptyPosition()},
            faults);
        std::strcpy(app::Instruments[0].rsrcName, kCarrierResource);
        app::CurrentInstr = &app::Instruments[0];
        app::SelMez();
        ASSERT_NE(qm7x::mezSession, 0u);
        protocolPath_ = bench_->stateDir().parent_path() / "qm7X.log";
        ui::SetCtrlVal(qm7x::ppPanel, PP_FILE_NAME, protocolPath_.string());
    }
    const SimBench& bench() const { return *bench_; }

    // The operator's steps on the verification page.
    static void enter(int control, double value) {
        ASSERT_GE(ui::SetCtrlVal(qm7x::ppPanel, control, value), 0);
    }
    static void enter(int control, int value) {
        ASSERT_GE(ui::SetCtrlVal(qm7x::ppPanel, control, value), 0);
    }
    static void relayIn() {
        ui::SetCtrlVal(qm7x::ppPanel, PP_RELE_SWITCH, 1);
        ui::DispatchUserEvent(qm7x::ppPanel, PP_RELE_SWITCH, ui::EVENT_COMMIT);
    }
    static void press(int control) {
        ui::DispatchUserEvent(qm7x::ppPanel, control, ui::EVENT_COMMIT);
    }
    static void start() { press(PP_START); }

    static double value(int panel, int control) {
        double v = -1;
        ui::GetCtrlVal(panel, control, v);
        return v;
    }
    static int switchState(int panel) {
        int v = -1;
        ui::GetCtrlVal(panel, panel == qm7x::cpPanel ? CP_RELE_SWITCH : PP_RELE_SWITCH, v);
        return v;
    }
    std::string protocol() const {
        std::ifstream file(protocolPath_, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }
    // The protocol's lines in UTF-8.
    std::vector<std::string> protocolLines() const {
        std::vector<std::string> lines;
        std::string text = os::FromCp1251(protocol());
        std::size_t at = 0;
        while (at < text.size()) {
            const std::size_t end = text.find('\n', at);
            lines.push_back(text.substr(at, end - at));
            if (end == std::string::npos) {
                break;
            }
            at = end + 1;
        }
        return lines;
    }
    // The result rows of the protocol.
    std::vector<std::string> rows() const {
        std::vector<std::string> found;
        for (const auto& line : protocolLines()) {
            if (line.ends_with("Норма") || line.ends_with("Не норма")) {
                found.push_back(line);
            }
        }
        return found;
    }

    std::filesystem::path protocolPath_;
    std::optional<SimBench> bench_;
};

}  // namespace qm7x::test
