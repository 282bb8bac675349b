// Running the whole program headless: a recording front end, a scripted operator, a virtual clock,
// and a simulated bench written by the test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "p_qm7x.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/headless.h"
#include "qm7x/ui/userint.h"

namespace qm7x::test {

// Records, in order, what the operator would have seen: messages (with whether the main panel
// was already on screen), panels displayed and pop-ups installed.
class RecordingFrontEnd : public ui::HeadlessFrontEnd {
  public:
    std::vector<std::string> log;

    void ShowMessage(std::string_view title, std::string_view message) override {
        int mpShown = 0;
        if (qm7x::mpPanel > 0) {
            ui::GetPanelAttribute(qm7x::mpPanel, ui::ATTR_VISIBLE, mpShown);
        }
        log.push_back("message: " + std::string(title) + (mpShown ? " (MP shown)" : ""));
        HeadlessFrontEnd::ShowMessage(title, message);
    }
    void PanelDisplayed(int panel) override {
        log.push_back(panel == qm7x::mpPanel ? "display: MP" : "display: other");
    }
    void PopupInstalled(int panel) override {
        log.push_back(panel == qm7x::exitPopupPanel ? "popup: EXIT_POPUP" : "popup: other");
    }
    void PopupRemoved(int) override { log.push_back("popup removed"); }
};

// A scratch directory of the test, removed afterwards.
class ScratchDir {
  public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::path(::testing::TempDir()) /
                ("qm7x_app_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
                 std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Points the simulated bench at a bench file written from `yaml`, keeping EEPROM images in the
// scratch directory, and the program's VISA at the simulated VISA library.
inline void UseBench(const ScratchDir& dir, const std::string& yaml) {
    const auto bench = dir.path() / "bench.yaml";
    std::ofstream(bench) << yaml;
    ::setenv("QM7X_BENCH", bench.c_str(), 1);
    ::setenv("QM7X_SIM_STATE_DIR", (dir.path() / "state").c_str(), 1);
#ifdef QM7X_SIM_VISA
    ::setenv("QM7X_VISA_LIBRARY", QM7X_SIM_VISA, 1);
#endif
}

// No VISA library at all: the program finds nothing.
inline void UseNoVisa(const ScratchDir& dir) {
    ::setenv("QM7X_VISA_LIBRARY", (dir.path() / "libvisa_absent.so").c_str(), 1);
    ::setenv("QM7X_SIM_STATE_DIR", (dir.path() / "state").c_str(), 1);
}

// Fixture: the headless run-time with the recording front end in place of the plain one.
class ProgramTest : public ::testing::Test {
  protected:
    ProgramTest() { ui::SetFrontEnd(&frontEnd); }

    ui::ScriptedOperator& script() { return session.script; }
    static ui::PanelRef Panel(int resourceId) { return ui::PanelRef::Resource(resourceId); }

    ScratchDir scratch;
    RecordingFrontEnd frontEnd;
    ui::HeadlessSession session;  // destroyed first: resets the run-time
};

}  // namespace qm7x::test
