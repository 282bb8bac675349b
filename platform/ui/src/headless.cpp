#include "qm7x/ui/headless.h"

#include <filesystem>

#include "script_failure.h"

namespace qm7x::ui {

void HeadlessFrontEnd::AnswerConfirm(bool yes) {
    answers_.push_back({Answer::Kind::Confirm, yes, {}, {}});
}
void HeadlessFrontEnd::AnswerPrompt(std::string reply) {
    answers_.push_back({Answer::Kind::Prompt, true, std::move(reply), {}});
}
void HeadlessFrontEnd::AnswerPrompt(std::function<void()> whileOpen, std::string reply) {
    answers_.push_back({Answer::Kind::Prompt, true, std::move(reply), std::move(whileOpen)});
}
void HeadlessFrontEnd::CancelPrompt() {
    answers_.push_back({Answer::Kind::Prompt, false, {}, {}});
}
void HeadlessFrontEnd::AnswerFileSelect(std::string path) {
    answers_.push_back({Answer::Kind::File, true, std::move(path), {}});
}
void HeadlessFrontEnd::CancelFileSelect() {
    answers_.push_back({Answer::Kind::File, false, {}, {}});
}

namespace {

const char* KindName(int kind) {
    switch (kind) {
        case 0:
            return "confirmation";
        case 1:
            return "prompt";
        default:
            return "file selection";
    }
}

}  // namespace

HeadlessFrontEnd::Answer HeadlessFrontEnd::TakeAnswer(Answer::Kind kind, std::string_view popup) {
    if (answers_.empty()) {
        detail::ScriptFailure<ScriptExhausted>("no scripted answer left for the " +
                                               std::string(KindName(static_cast<int>(kind))) +
                                               " pop-up " + std::string(popup));
    }
    Answer a = std::move(answers_.front());
    answers_.pop_front();
    if (a.kind != kind) {
        detail::ScriptFailure<ScriptError>("the next scripted answer is for a " +
                                           std::string(KindName(static_cast<int>(a.kind))) +
                                           " pop-up, but a " + KindName(static_cast<int>(kind)) +
                                           " pop-up came: " + std::string(popup));
    }
    return a;
}

int HeadlessFrontEnd::Initialize(int, char**) {
    return failInit_ ? UIEInitFailed : 0;
}

void HeadlessFrontEnd::ShowMessage(std::string_view title, std::string_view message) {
    messages_.push_back({std::string(title), std::string(message)});
    popupLog_.push_back("message: " + std::string(title) + " | " + std::string(message));
}

int HeadlessFrontEnd::Confirm(std::string_view title, std::string_view message) {
    const std::string what = std::string(title) + " | " + std::string(message);
    const Answer a = TakeAnswer(Answer::Kind::Confirm, what);
    popupLog_.push_back("confirm: " + what + (a.accept ? " -> yes" : " -> no"));
    return a.accept ? 1 : 0;
}

int HeadlessFrontEnd::Prompt(std::string_view title, std::string_view message, std::string& reply,
                             int) {
    const std::string what = std::string(title) + " | " + std::string(message);
    const Answer a = TakeAnswer(Answer::Kind::Prompt, what);
    if (a.whileOpen) {
        a.whileOpen();
    }
    popupLog_.push_back("prompt: " + what + (a.accept ? " -> \"" + a.text + "\"" : " -> cancel"));
    if (!a.accept) {
        return UIEUserCancelled;
    }
    reply = a.text;
    return 0;
}

int HeadlessFrontEnd::SelectFile(const FileSelectOptions& options, std::string& path) {
    const std::string what = options.title + " | " + options.defaultFileSpec;
    const Answer a = TakeAnswer(Answer::Kind::File, what);
    popupLog_.push_back("file: " + what + (a.accept ? " -> " + a.text : " -> cancel"));
    if (!a.accept) {
        return VAL_NO_FILE_SELECTED;
    }
    path = a.text;
    std::error_code ec;
    return std::filesystem::exists(a.text, ec) ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
}

void HeadlessFrontEnd::WaitCursorChanged(bool on) {
    if (on && !waitCursor_) {
        ++waitCursorShown_;
    }
    waitCursor_ = on;
}

int HeadlessFrontEnd::WaitForEvents(double timeoutSeconds) {
    if (timeoutSeconds >= 0) {
        Delay(timeoutSeconds);  // instant with a virtual clock
        return 0;
    }
    const ScriptedOperator* op = GetOperator();
    const std::string pending = op ? op->Pending() : std::string();
    detail::ScriptFailure<ScriptExhausted>(
        "the program waits for the operator, but " +
        (op == nullptr     ? std::string("no operator script is installed")
         : pending.empty() ? std::string("the operator script is finished")
                           : pending));
}

int HeadlessFrontEnd::SavePanelImage(int, const std::string&) {
    return UIENotSupported;
}

HeadlessSession::HeadlessSession() {
    SetFrontEnd(&frontEnd);
    SetOperator(&script);
    SetClock(&clock);
}

HeadlessSession::~HeadlessSession() {
    ResetUserInterface();
}

}  // namespace qm7x::ui
