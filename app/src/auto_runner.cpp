#include "qm7x/app/auto_runner.h"

#include <strings.h>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "p_qm7x.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/program.h"
#include "qm7x/app/program_callbacks.h"
#include "qm7x/app/sessions.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/sessions.h"
#include "qm7x/ui/headless.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/chklog.h"

namespace qm7x::app {
namespace {

using procedure::Ending;
using procedure::PointFacts;

const char* Verdict(bool pass) {
    return pass ? "Норма" : "Не норма";
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", value);
    return text;
}

// The run-time's messages go to standard error: nobody is there to read a pop-up.
class StderrFrontEnd : public ui::HeadlessFrontEnd {
  public:
    explicit StderrFrontEnd(std::ostream& err) : err_(err) {}
    void ShowMessage(std::string_view title, std::string_view message) override {
        err_ << "сообщение: " << title << (title.empty() ? "" : ": ") << message << '\n';
        protocolUnopened_ = protocolUnopened_ || title == verify::kOpenFailedTitle;
        HeadlessFrontEnd::ShowMessage(title, message);
    }
    // The protocol file could not be opened: its entries reached no file.
    bool protocolUnopened() const { return protocolUnopened_; }

  private:
    std::ostream& err_;
    bool protocolUnopened_ = false;
};

std::string StatusLine() {
    std::string text;
    ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, text);
    return text;
}

// Opens the carrier and the QM7X at the position, as the selection and the ring do.
std::optional<std::string> OpenModule(const AutoOptions& options) {
    const int found = FindVISAinstruments();
    CurrentInstr = nullptr;
    for (int i = 0; i < found; ++i) {
        if (strcasecmp(Instruments[static_cast<std::size_t>(i)].rsrcName,
                       options.carrier.c_str()) == 0) {
            CurrentInstr = &Instruments[static_cast<std::size_t>(i)];
        }
    }
    if (CurrentInstr == nullptr) {
        return "Носитель " + options.carrier + " не найден среди приборов VISA";
    }
    SelMez();
    if (carrierSession == 0) {
        return "Носитель " + options.carrier + " не открыт: " + StatusLine();
    }
    if (mezonin[static_cast<std::size_t>(options.position - 1)] != kTypeQM7X) {
        return "На позиции " + std::to_string(options.position) + " носителя " + options.carrier +
               " нет мезонина QM7X";
    }
    ui::SetCtrlVal(mpPanel, MP_MEZ_NUM, static_cast<unsigned short>(options.position));
    selMezonin(mpPanel, MP_MEZ_NUM, ui::EVENT_COMMIT, nullptr, 0, 0);
    if (mezSession == 0) {
        return "Мезонин на позиции " + std::to_string(options.position) +
               " не открыт: " + StatusLine();
    }
    return std::nullopt;
}

void PrintSummary(std::ostream& out, const procedure::ProcedureOutcome& outcome) {
    out << " №  канал          Un, В          Ux, В       Ux-Un, В     допуск, В  результат\n";
    char line[160];
    int passed = 0;
    for (const PointFacts& point : outcome.lastPass) {
        std::snprintf(line, sizeof line, "%2d  %5d  %13s  %13s  %13s  %12s  ", point.index,
                      point.channel, Number(point.un).c_str(), Number(point.ux).c_str(),
                      Number(point.ux - point.un).c_str(), Number(point.tolerance).c_str());
        out << line << Verdict(point.pass) << '\n';
        passed += point.pass ? 1 : 0;
    }
    for (const int channel : outcome.calibratedChannels) {
        out << "Канал " << channel << " откалиброван" << '\n';
    }
    if (outcome.stored) {
        out << "Коэффициенты записаны в EEPROM\n";
    }
    out << "Итог: ";
    switch (outcome.ending) {
        case Ending::passed:
            out << "Норма";
            break;
        case Ending::failed:
            out << "Не норма";
            break;
        case Ending::stopped:
            out << "остановлено";
            break;
        case Ending::notRun:
            out << "не выполнено";
            break;
    }
    out << " (" << passed << " из " << outcome.lastPass.size() << " точек в норме)\n";
}

int Run(const AutoOptions& options, std::ostream& out, std::ostream& err,
        const std::atomic<bool>* stop, const StderrFrontEnd& frontEnd) {
    procedure::Plan plan;
    try {
        plan = procedure::LoadPlan(options.plan);
    } catch (const procedure::PlanError& error) {
        err << "qm7x-auto: план: " << error.what() << '\n';
        return kExitNotRun;
    }
    if (!LoadProgramPanels()) {
        err << "qm7x-auto: панели программы не загружены\n";
        return kExitNotRun;
    }
    struct Shutdown {
        ~Shutdown() { ShutDownProgram(); }
    } shutdown;
    if (auto failed = OpenModule(options)) {
        err << "qm7x-auto: " << *failed << '\n';
        return kExitNotRun;
    }
    if (options.protocol) {
        ui::SetCtrlVal(ppPanel, PP_FILE_NAME, *options.protocol);
    }
    if (options.temperature) {
        procedure::SetPageTemperature(procedure::TemperatureFromDegrees(*options.temperature));
    }
    procedure::DcCalibrator calibrator;
    if (auto failed = calibrator.open(options.calibrator)) {
        err << "qm7x-auto: " << *failed << '\n';
        return kExitNotRun;
    }
    procedure::ProcedureEvents events;
    events.pointTaken = [&](const PointFacts& point) {
        err << procedure::PhaseName(point.phase) << " точка " << point.index << " из "
            << point.total << ": канал " << point.channel << ", Un=" << Number(point.un)
            << " В, Ux=" << Number(point.ux) << " В, " << Verdict(point.pass) << std::endl;
    };
    events.channelCalibrated = [&](const procedure::CalibrationFacts& facts) {
        err << "калибровка канала " << facts.channel << " при " << Number(facts.positiveV) << " и "
            << Number(facts.negativeV) << " В выполнена" << std::endl;
    };
    events.stored = [&] { err << "коэффициенты записаны в EEPROM" << std::endl; };
    events.stopRequested = [stop] { return stop != nullptr && stop->load(); };
    if (options.overrideDueDate) {
        events.overrideDueDate = [&err](const std::string& block, std::string& reason) {
            err << "qm7x-auto: " << block << "; продолжено по --override-due-date" << std::endl;
            reason = "--override-due-date";
            return true;
        };
    }
    const auto outcome = procedure::RunProcedure(calibrator, plan, options.calibrate, events);
    if (!outcome.cause.empty()) {
        err << "qm7x-auto: " << outcome.cause << '\n';
    }
    PrintSummary(out, outcome);
    if (frontEnd.protocolUnopened()) {
        // A verdict without its protocol is no result for a script to rely on.
        std::string file;
        ui::GetCtrlVal(ppPanel, PP_FILE_NAME, file);
        err << "qm7x-auto: протокол не записан в файл " << file << '\n';
        return kExitNotRun;
    }
    switch (outcome.ending) {
        case Ending::passed:
            return kExitAllPassed;
        case Ending::failed:
            return kExitSomeFailed;
        default:
            return kExitNotRun;
    }
}

}  // namespace

const char* const kAutoUsage =
    "qm7x-auto --carrier RESOURCE --position N --calibrator RESOURCE --plan FILE\n"
    "          [--calibrate never|if-needed|always] [--protocol FILE] [--temperature "
    "20|5|40|<T>]\n"
    "          [--override-due-date]\n";

std::optional<AutoOptions> ParseAutoOptions(const std::vector<std::string>& arguments,
                                            std::string& error) {
    AutoOptions options;
    bool havePosition = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--override-due-date") {
            options.overrideDueDate = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = "у " + name + " нет значения";
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        char* end = nullptr;
        if (name == "--carrier") {
            options.carrier = value;
        } else if (name == "--position") {
            const long position = std::strtol(value.c_str(), &end, 10);
            if (*end != '\0' || position < 1 || position > 4) {
                error = "--position: ожидается 1..4, а не «" + value + "»";
                return std::nullopt;
            }
            options.position = static_cast<int>(position);
            havePosition = true;
        } else if (name == "--calibrator") {
            options.calibrator = value;
        } else if (name == "--plan") {
            options.plan = value;
        } else if (name == "--calibrate") {
            const auto mode = procedure::CalibrateModeByName(value);
            if (!mode) {
                error = "--calibrate: ожидается never, if-needed или always, а не «" + value + "»";
                return std::nullopt;
            }
            options.calibrate = *mode;
        } else if (name == "--protocol") {
            options.protocol = value;
        } else if (name == "--temperature") {
            const long degrees = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || degrees < -100 || degrees > 100) {
                error = "--temperature: ожидается целое число градусов, а не «" + value + "»";
                return std::nullopt;
            }
            options.temperature = static_cast<int>(degrees);
        } else {
            error = "неизвестный параметр «" + name + "»";
            return std::nullopt;
        }
    }
    if (options.carrier.empty() || !havePosition || options.calibrator.empty() ||
        options.plan.empty()) {
        error = "нужны --carrier, --position, --calibrator и --plan";
        return std::nullopt;
    }
    return options;
}

int RunAuto(const AutoOptions& options, std::ostream& out, std::ostream& err,
            const std::atomic<bool>* stop) {
    StderrFrontEnd frontEnd(err);
    ui::SetFrontEnd(&frontEnd);
    RegisterProgramCallbacks();
    int status = kExitNotRun;
    if (ui::InitUserInterface(0, nullptr) < 0) {
        err << "qm7x-auto: среда интерфейса не запущена\n";
    } else {
        status = Run(options, out, err, stop, frontEnd);
    }
    ui::SetFrontEnd(nullptr);
    return status;
}

}  // namespace qm7x::app
