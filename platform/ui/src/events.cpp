// Callbacks by name, event dispatch, event processing with the scripted operator, pop-ups, the
// wait cursor, start-up and the clock.
#include <chrono>
#include <iostream>
#include <map>
#include <thread>

#include "callbacks.h"
#include "qm7x/ui/headless.h"
#include "runtime.h"
#include "script_failure.h"

namespace qm7x::ui {

using detail::State;

namespace detail {
namespace {

struct CallbackRegistry {
    std::map<std::string, CtrlCallbackPtr, std::less<>> controls;
    std::map<std::string, PanelCallbackPtr, std::less<>> panels;
};

CallbackRegistry& Callbacks() {
    static CallbackRegistry registry;
    return registry;
}

}  // namespace

CtrlCallbackPtr FindCtrlCallback(std::string_view name) {
    auto& map = Callbacks().controls;
    auto it = map.find(name);
    return it == map.end() ? nullptr : it->second;
}

PanelCallbackPtr FindPanelCallback(std::string_view name) {
    auto& map = Callbacks().panels;
    auto it = map.find(name);
    return it == map.end() ? nullptr : it->second;
}

}  // namespace detail

void RegisterCallback(std::string_view name, CtrlCallbackPtr fn) {
    detail::Callbacks().controls.insert_or_assign(std::string(name), fn);
}

void RegisterCallback(std::string_view name, PanelCallbackPtr fn) {
    detail::Callbacks().panels.insert_or_assign(std::string(name), fn);
}

namespace {

int CallPanelCallback(int panel, int event, int eventData1, int eventData2) {
    Panel* p = detail::PanelOf(panel);
    PanelCallbackPtr fn = p->callback;
    if (!fn && !p->callbackName.empty()) {
        fn = detail::FindPanelCallback(p->callbackName);
        if (!fn) {
            std::cerr << "user interface: panel callback '" << p->callbackName << "' of "
                      << p->constant << " is not registered\n";
            return UIECallbackNotRegistered;
        }
    }
    return fn ? fn(panel, event, p->callbackData, eventData1, eventData2) : 0;
}

}  // namespace

int DispatchUserEvent(int panel, int control, int event, int eventData1, int eventData2) {
    Panel* p = detail::PanelOf(panel);
    if (!p) {
        return UIEHandleInvalid;
    }
    if (control == 0) {
        const int closeCtrl = p->closeCtrl;
        const int result = CallPanelCallback(panel, event, eventData1, eventData2);
        // The window's close box commits the panel's close control, if it has one.
        if (event == EVENT_CLOSE && closeCtrl != 0 && FindControl(panel, closeCtrl)) {
            return DispatchUserEvent(panel, closeCtrl, EVENT_COMMIT);
        }
        return result;
    }
    Control* c = detail::ControlOf(*p, control);
    if (!c) {
        return UIEInvalidControl;
    }
    CtrlCallbackPtr fn = c->callback;
    if (!fn && !c->callbackName.empty()) {
        fn = detail::FindCtrlCallback(c->callbackName);
        if (!fn) {
            std::cerr << "user interface: callback '" << c->callbackName << "' of " << p->constant
                      << "." << c->constant << " is not registered\n";
            return UIECallbackNotRegistered;
        }
    }
    // Copies: the callback may change or discard the panel.
    void* data = c->callbackData;
    return fn ? fn(panel, control, event, data, eventData1, eventData2) : 0;
}

namespace {

// Consecutive passes of event processing in which the operator could do nothing. With the
// headless front end nothing else can happen, so a program polling forever is stuck.
constexpr long kMaxIdlePasses = 1'000'000;
long idlePasses = 0;

bool Headless() {
    return dynamic_cast<HeadlessFrontEnd*>(State().frontEnd) != nullptr;
}

ScriptedOperator::StepResult RunOperatorStep() {
    ScriptedOperator* op = State().scriptedOperator;
    if (!op) {
        return ScriptedOperator::StepResult::Empty;
    }
    const auto result = op->RunNextStep();
    if (result == ScriptedOperator::StepResult::Ran) {
        idlePasses = 0;
    } else if (Headless() && ++idlePasses > kMaxIdlePasses) {
        idlePasses = 0;
        const std::string pending = op->Pending();
        detail::ScriptFailure<ScriptExhausted>(
            "the program keeps polling for events but nothing can happen any more: " +
            (pending.empty() ? std::string("the operator script is finished") : pending));
    }
    return result;
}

}  // namespace

int ProcessSystemEvents() {
    if (FrontEnd* fe = State().frontEnd) {
        fe->ProcessEvents();
    }
    RunOperatorStep();
    return 0;
}

int ProcessNextEvent(double timeoutSeconds) {
    FrontEnd* fe = State().frontEnd;
    if (!fe) {
        return UIENoFrontEnd;
    }
    fe->ProcessEvents();
    const auto step = RunOperatorStep();
    if (step == ScriptedOperator::StepResult::Ran) {
        return 0;
    }
    if (step == ScriptedOperator::StepResult::NotReady) {
        ScriptedOperator* op = State().scriptedOperator;
        if (Headless() && op->WaitsForPanel()) {
            // Nobody but the program could show that panel, and the program waits for us.
            detail::ScriptFailure<ScriptError>(
                "the program waits for the operator, but the next step cannot act: " +
                op->Pending());
        }
        // Come back soon to try the step again.
        constexpr double kRetry = 0.02;
        return fe->WaitForEvents(timeoutSeconds < 0 ? kRetry : std::min(timeoutSeconds, kRetry));
    }
    return fe->WaitForEvents(timeoutSeconds);
}

// ---- Pop-ups --------------------------------------------------------------------------------

int MessagePopup(std::string_view title, std::string_view message) {
    FrontEnd* fe = State().frontEnd;
    if (!fe) {
        return UIENoFrontEnd;
    }
    fe->ShowMessage(title, message);
    return 0;
}

int ConfirmPopup(std::string_view title, std::string_view message) {
    FrontEnd* fe = State().frontEnd;
    if (!fe) {
        return UIENoFrontEnd;
    }
    const int answer = fe->Confirm(title, message);
    return answer < 0 ? answer : (answer != 0 ? 1 : 0);
}

namespace {

// The first `count` characters of a UTF-8 text (a character is one byte in the 8-bit code page
// the limit was made for).
std::string FirstCharacters(const std::string& text, int count) {
    std::size_t i = 0;
    for (int n = 0; n < count && i < text.size(); ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) {
            ++i;
        }
    }
    return text.substr(0, i);
}

}  // namespace

int PromptPopup(std::string_view title, std::string_view message, std::string& reply,
                int maxReplyLength) {
    FrontEnd* fe = State().frontEnd;
    if (!fe) {
        return UIENoFrontEnd;
    }
    if (maxReplyLength < 0) {
        return UIEInvalidArgument;
    }
    // Every front end opens the prompt empty: a reply left from an earlier prompt is no proposal,
    // and Return on it would answer a question it was never typed for.
    std::string answer;
    const int result = fe->Prompt(title, message, answer, maxReplyLength);
    if (result == 0) {
        reply = FirstCharacters(answer, maxReplyLength);
    }
    return result;
}

int FileSelectPopup(const FileSelectOptions& options, std::string& path) {
    FrontEnd* fe = State().frontEnd;
    if (!fe) {
        return UIENoFrontEnd;
    }
    std::string chosen;
    const int result = fe->SelectFile(options, chosen);
    if (result == VAL_EXISTING_FILE_SELECTED || result == VAL_NEW_FILE_SELECTED) {
        path = chosen;
    }
    return result;
}

int SetWaitCursor(int on) {
    State().waitCursor = on != 0;
    detail::Notify([&](FrontEnd& fe) { fe.WaitCursorChanged(on != 0); });
    return 0;
}

int GetWaitCursor() {
    return State().waitCursor ? 1 : 0;
}

// ---- Start-up and clock ---------------------------------------------------------------------

int InitUserInterface(int argc, char** argv) {
    FrontEnd* fe = State().frontEnd;
    if (!fe) {
        std::cerr << "user interface: no front end installed\n";
        return UIEInitFailed;
    }
    return fe->Initialize(argc, argv) < 0 ? UIEInitFailed : 0;
}

double Timer() {
    if (Clock* clock = State().clock) {
        return clock->Now();
    }
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Delay(double seconds) {
    if (Clock* clock = State().clock) {
        clock->Sleep(seconds);
        return;
    }
    if (seconds > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
}

}  // namespace qm7x::ui
