// A scripted operator: a list of user actions (press a button, type a value, choose an item,
// close a window, anything in a lambda) performed one at a time from inside
// ProcessSystemEvents / ProcessNextEvent, so that the program's own loops (the main loop, a
// dialog waiting to be hidden) progress exactly as with a person. Works with any front end.
//
// A step acts only when its panel is shown and not covered by a modal pop-up; until then it
// waits. A step that can never act (unknown control, dimmed control, indicator) throws
// ScriptError; a program that waits for the operator when the script is over gets ScriptExhausted
// from the headless front end instead of hanging.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "qm7x/ui/model.h"

namespace qm7x::ui {

struct ScriptError : std::logic_error {
    using std::logic_error::logic_error;
};
struct ScriptExhausted : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Names the panel a step acts on; resolved when the step runs (handles are known only then).
class PanelRef {
  public:
    static PanelRef Handle(int handle);
    // The most recently loaded panel from that resource number (tab pages included), e.g. MP, PP.
    static PanelRef Resource(int resourceId);
    // The most recently loaded or built panel with that title (dialogs built at run time).
    static PanelRef Title(std::string title);
    int Resolve() const;  // 0 when there is no such panel
    std::string Describe() const;

  private:
    enum class By { Handle, Resource, Title } by_ = By::Handle;
    int number_ = 0;
    std::string title_;
};

class ScriptedOperator {
  public:
    // Each returns *this so that steps chain.
    ScriptedOperator& Commit(PanelRef panel, int control);               // press a button
    ScriptedOperator& Enter(PanelRef panel, int control, double value);  // type + commit
    ScriptedOperator& Enter(PanelRef panel, int control, int value);
    ScriptedOperator& Enter(PanelRef panel, int control, std::string value);
    ScriptedOperator& ChooseItem(PanelRef panel, int control, int index);  // ring/list + commit
    ScriptedOperator& DoubleClickItem(PanelRef panel, int control, int index);  // list box
    ScriptedOperator& ChooseTabPage(PanelRef panel, int control, int page);
    ScriptedOperator& SetCell(PanelRef panel, int control, Point cell, double value);
    ScriptedOperator& ClosePanel(PanelRef panel);                          // the window's close box
    ScriptedOperator& ResizePanel(PanelRef panel, int width, int height);  // EVENT_PANEL_SIZE
    // Any action; runs as soon as it is its turn.
    ScriptedOperator& Do(std::string description, std::function<void()> action);
    // Holds the script until the condition holds (checked once per event pass).
    ScriptedOperator& WaitUntil(std::string description, std::function<bool()> condition);

    enum class StepResult { Ran, NotReady, Empty };
    // Runs the next step if it can act now (called by the run-time's event processing).
    StepResult RunNextStep();
    bool Done() const { return steps_.empty(); }
    std::size_t Remaining() const { return steps_.size(); }
    // Description of the next step and why it cannot act yet ("" when ready or empty).
    std::string Pending() const;
    // True when the next step waits for a panel to be shown (not for its own condition).
    bool WaitsForPanel() const;
    // Descriptions of the steps performed, in order.
    const std::vector<std::string>& Performed() const { return performed_; }

    struct Step {
        std::string description;
        PanelRef panel;
        bool needsPanel = false;
        std::function<bool()> ready;  // may be empty
        std::function<void(int panelHandle)> act;
    };

  private:
    ScriptedOperator& Add(Step step);
    std::string Blocker(const Step& step) const;

    std::deque<Step> steps_;
    std::vector<std::string> performed_;
};

// Installs the operator the event processing runs (not owned; nullptr: none).
ScriptedOperator* SetOperator(ScriptedOperator* op);
ScriptedOperator* GetOperator();

}  // namespace qm7x::ui
