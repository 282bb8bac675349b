// The interface a front end implements (the headless one for tests, the Qt one for people). The
// run-time tells it about every model change; it answers pop-ups and delivers user actions.
#pragma once

#include <string>
#include <string_view>

#include "qm7x/ui/userint.h"

namespace qm7x::ui {

class FrontEnd {
  public:
    virtual ~FrontEnd() = default;

    // Start-up with the command line; negative makes InitUserInterface fail.
    virtual int Initialize(int argc, char** argv) = 0;

    // ---- Model changes (the model is already changed; read it with model.h) ----
    virtual void PanelLoaded(int /*panel*/) {}  // loaded from the resource or built by NewPanel
    virtual void PanelDisplayed(int /*panel*/) {}
    virtual void PanelHidden(int /*panel*/) {}
    virtual void PanelDiscarded(int /*panel*/) {}  // called while the panel can still be read
    virtual void PopupInstalled(int /*panel*/) {}
    virtual void PopupRemoved(int /*panel*/) {}
    virtual void PanelAttributeChanged(int /*panel*/, int /*attribute*/) {}  // ATTR_TITLE...
    virtual void ControlAdded(int /*panel*/, int /*control*/) {}
    virtual void ControlDiscarded(int /*panel*/, int /*control*/) {}
    virtual void ControlValueChanged(int /*panel*/, int /*control*/) {}
    virtual void ControlAttributeChanged(int /*panel*/, int /*control*/, int /*attribute*/) {}
    virtual void ControlItemsChanged(int /*panel*/, int /*control*/) {}  // rings, list boxes
    virtual void TableCellsChanged(int /*panel*/, int /*control*/, Rect /*cells*/) {}
    virtual void TextBoxLinesChanged(int /*panel*/, int /*control*/) {}
    virtual void ActiveTabPageChanged(int /*panel*/, int /*control*/) {}
    virtual void ActiveControlChanged(int /*panel*/, int /*control*/) {}
    // A graph's plots or axis scaling changed (plots added, deleted, restyled; axis ranges).
    virtual void GraphPlotsChanged(int /*panel*/, int /*control*/) {}

    // ---- Pop-ups (modal; run until answered) ----
    virtual void ShowMessage(std::string_view title, std::string_view message) = 0;
    virtual int Confirm(std::string_view title, std::string_view message) = 0;  // 1 / 0
    // 0 with `reply` set, or UIEUserCancelled leaving it as it was. The run-time cuts the reply
    // to maxReplyLength characters.
    virtual int Prompt(std::string_view title, std::string_view message, std::string& reply,
                       int maxReplyLength) = 0;
    virtual int SelectFile(const FileSelectOptions& options, std::string& path) = 0;
    virtual void WaitCursorChanged(bool /*on*/) {}

    // ---- Events ----
    // Handles pending user actions and returns at once.
    virtual void ProcessEvents() = 0;
    // Blocks until at least one user action has been handled or the timeout (seconds, < 0 none)
    // has passed. Returns 0, or negative when waiting can never end (no window, no script).
    virtual int WaitForEvents(double timeoutSeconds) = 0;
    // Wakes a WaitForEvents that is blocked (e.g. an operator script step became ready).
    virtual void WakeUp() {}

    // Lines of the text box that fit its present height in the front end's font; negative: not
    // known (the run-time then estimates from the height). Read by ATTR_VISIBLE_LINES, which the
    // program uses to keep the last line of a text box in view.
    virtual int TextBoxVisibleLines(int /*panel*/, int /*control*/) { return -1; }

    // Renders the panel as it is shown into an image file (PNG); UIENotSupported if it cannot.
    virtual int SavePanelImage(int panel, const std::string& path) = 0;
};

// Installs the front end the run-time talks to (not owned; nullptr: none). Returns the previous.
FrontEnd* SetFrontEnd(FrontEnd* frontEnd);
FrontEnd* GetFrontEnd();
// Renders a panel through the installed front end.
int SavePanelImage(int panel, const std::string& path);

// Discards every panel and pop-up and forgets front end, operator and clock (callback and
// resource registrations stay). For tests and for the end of the program.
void ResetUserInterface();

}  // namespace qm7x::ui
