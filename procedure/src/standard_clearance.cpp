#include "qm7x/procedure/standard_clearance.h"

#include <cstdlib>

#include "qm7x/metrology/due_date.h"
#include "qm7x/results/clock.h"
#include "qm7x/results/recorder.h"

namespace qm7x::procedure {
namespace {

std::string OperatorName() {
    for (const char* name : {"USER", "LOGNAME", "USERNAME"}) {
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

}  // namespace

std::string ClearCalibratorStandard(const std::string& identification, const AskDueOverride& ask) {
    std::string block;
    results::Recorder& recorder = results::ProgramRecorder();
    const auto failure = recorder.WriteRecord([&](results::ResultsStore& store) {
        const auto standard = metrology::StandardByIdentification(store, identification);
        if (!standard) {
            return;
        }
        const std::string today = results::LocalTimeWithOffset().substr(0, 10);
        block = metrology::ClearStandardForProcedure(
            store, *standard, today, recorder.SessionId(), OperatorName(),
            [&](const std::string& text, std::string& reason) { return ask && ask(text, reason); });
        if (!block.empty()) {
            block = "Эталон " + standard->identifier + " (" + standard->model + " " +
                    standard->serial + "): " + block;
        }
    });
    if (failure) {
        return "Срок поверки эталона не проверен: " + *failure;
    }
    return block;
}

}  // namespace qm7x::procedure
