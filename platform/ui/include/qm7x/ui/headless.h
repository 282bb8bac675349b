// The headless front end: no windows. Pop-ups are answered from a queue of scripted answers,
// every message shown is recorded, user actions come from a ScriptedOperator. Waiting for an
// event with nothing left to happen throws ScriptExhausted instead of hanging.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "qm7x/ui/clock.h"
#include "qm7x/ui/frontend.h"
#include "qm7x/ui/scripted_operator.h"

namespace qm7x::ui {

class HeadlessFrontEnd : public FrontEnd {
  public:
    // ---- Scripted answers, used in order; a pop-up of another kind than the next answer, or
    // with no answer left, throws ScriptError / ScriptExhausted.
    void AnswerConfirm(bool yes);
    void AnswerPrompt(std::string reply);
    // What the operator does while the prompt is open before typing the reply (turn the
    // reference source's knob, read the panel), then the reply.
    void AnswerPrompt(std::function<void()> whileOpen, std::string reply);
    void CancelPrompt();
    void AnswerFileSelect(std::string path);  // existing or new file, as the disk says
    void CancelFileSelect();
    std::size_t PendingAnswers() const { return answers_.size(); }

    struct Message {
        std::string title;
        std::string text;
        bool operator==(const Message&) const = default;
    };
    // Every MessagePopup, in order.
    const std::vector<Message>& Messages() const { return messages_; }
    // Every pop-up of any kind as "kind: title | text", in order.
    const std::vector<std::string>& PopupLog() const { return popupLog_; }
    bool WaitCursorOn() const { return waitCursor_; }
    int WaitCursorShownCount() const { return waitCursorShown_; }

    // Makes Initialize fail (to test the program's start-up failure).
    void FailInitialization(bool fail) { failInit_ = fail; }

    int Initialize(int argc, char** argv) override;
    void ShowMessage(std::string_view title, std::string_view message) override;
    int Confirm(std::string_view title, std::string_view message) override;
    int Prompt(std::string_view title, std::string_view message, std::string& reply,
               int maxReplyLength) override;
    int SelectFile(const FileSelectOptions& options, std::string& path) override;
    void WaitCursorChanged(bool on) override;
    void ProcessEvents() override {}
    // A bounded wait passes the time on the clock (instantly with a virtual clock); an unbounded
    // one can never end without a person and throws ScriptExhausted.
    int WaitForEvents(double timeoutSeconds) override;
    int SavePanelImage(int panel, const std::string& path) override;

  private:
    struct Answer {
        enum class Kind { Confirm, Prompt, File } kind;
        bool accept = true;
        std::string text;
        std::function<void()> whileOpen;  // may be empty
    };
    Answer TakeAnswer(Answer::Kind kind, std::string_view popup);

    std::deque<Answer> answers_;
    std::vector<Message> messages_;
    std::vector<std::string> popupLog_;
    bool waitCursor_ = false;
    int waitCursorShown_ = 0;
    bool failInit_ = false;
};

// Everything a test needs at once: installs a headless front end, a scripted operator and a
// virtual clock, and resets the run-time when it goes out of scope.
struct HeadlessSession {
    HeadlessSession();
    ~HeadlessSession();
    HeadlessSession(const HeadlessSession&) = delete;
    HeadlessSession& operator=(const HeadlessSession&) = delete;

    HeadlessFrontEnd frontEnd;
    ScriptedOperator script;
    VirtualClock clock;
};

}  // namespace qm7x::ui
