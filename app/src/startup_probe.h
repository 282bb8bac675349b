// A measuring aid, not part of the program's behaviour: when QM7X_STARTUP_PROBE is set, main puts
// this front end in front of the real one. Once the main panel has been shown and its window
// events processed, it prints the wall-clock time ("startup-probe <seconds since the epoch>") and
// ends the process, so a script can measure the time from process start to the main panel.
// With QM7X_STARTUP_PROBE=about it lets start-up run to its end instead: message boxes are printed
// ("startup-probe message <title>: <text>", line ends as \n) rather than shown, and when the
// event loop first waits for the operator it prints the ABOUT report ("startup-probe about
// <report>") and ends the process, so an installation test can see what ABOUT shows.
#pragma once

#include <functional>
#include <string>

#include "qm7x/ui/frontend.h"

namespace qm7x::app {

class StartupProbe final : public ui::FrontEnd {
  public:
    // `isMainPanel` tells whether a displayed panel is the main panel; `aboutReport`, when
    // given, chooses the ABOUT mode and makes the report.
    StartupProbe(ui::FrontEnd& inner, std::function<bool(int)> isMainPanel,
                 std::function<std::string()> aboutReport = {});

    int Initialize(int argc, char** argv) override { return inner_.Initialize(argc, argv); }
    void PanelLoaded(int panel) override { inner_.PanelLoaded(panel); }
    void PanelDisplayed(int panel) override;
    void PanelHidden(int panel) override { inner_.PanelHidden(panel); }
    void PanelDiscarded(int panel) override { inner_.PanelDiscarded(panel); }
    void PopupInstalled(int panel) override { inner_.PopupInstalled(panel); }
    void PopupRemoved(int panel) override { inner_.PopupRemoved(panel); }
    void PanelAttributeChanged(int panel, int attribute) override {
        inner_.PanelAttributeChanged(panel, attribute);
    }
    void ControlAdded(int panel, int control) override { inner_.ControlAdded(panel, control); }
    void ControlDiscarded(int panel, int control) override {
        inner_.ControlDiscarded(panel, control);
    }
    void ControlValueChanged(int panel, int control) override {
        inner_.ControlValueChanged(panel, control);
    }
    void ControlAttributeChanged(int panel, int control, int attribute) override {
        inner_.ControlAttributeChanged(panel, control, attribute);
    }
    void ControlItemsChanged(int panel, int control) override {
        inner_.ControlItemsChanged(panel, control);
    }
    void TableCellsChanged(int panel, int control, ui::Rect cells) override {
        inner_.TableCellsChanged(panel, control, cells);
    }
    void TextBoxLinesChanged(int panel, int control) override {
        inner_.TextBoxLinesChanged(panel, control);
    }
    void ActiveTabPageChanged(int panel, int control) override {
        inner_.ActiveTabPageChanged(panel, control);
    }
    void ActiveControlChanged(int panel, int control) override {
        inner_.ActiveControlChanged(panel, control);
    }
    void ShowMessage(std::string_view title, std::string_view message) override;
    int Confirm(std::string_view title, std::string_view message) override {
        return inner_.Confirm(title, message);
    }
    int Prompt(std::string_view title, std::string_view message, std::string& reply,
               int maxReplyLength) override {
        return inner_.Prompt(title, message, reply, maxReplyLength);
    }
    int SelectFile(const ui::FileSelectOptions& options, std::string& path) override {
        return inner_.SelectFile(options, path);
    }
    void WaitCursorChanged(bool on) override { inner_.WaitCursorChanged(on); }
    void ProcessEvents() override { inner_.ProcessEvents(); }
    int WaitForEvents(double timeoutSeconds) override;
    void WakeUp() override { inner_.WakeUp(); }
    int SavePanelImage(int panel, const std::string& path) override {
        return inner_.SavePanelImage(panel, path);
    }

  private:
    ui::FrontEnd& inner_;
    std::function<bool(int)> isMainPanel_;
    std::function<std::string()> aboutReport_;
};

}  // namespace qm7x::app
