#include "session_record.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

#include "qm7x/app/instruments.h"
#include "qm7x/calibr/calibration_record.h"
#include "qm7x/os/encoding.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
#include "qm7x/results/recorder.h"
#include "shell.h"
#include "trholdr.h"
#include "trqm7x.h"

namespace qm7x::app {
namespace {

using DriverText = std::array<ViChar, TRQM7X_TEXT_LEN + 1>;  // one spare byte keeps it terminated

// The system user running the program.
std::string operatorName() {
    if (const passwd* user = ::getpwuid(::geteuid()); user != nullptr && user->pw_name != nullptr) {
        return user->pw_name;
    }
    const char* name = std::getenv("USER");
    return name != nullptr ? name : "";
}

// The bench: the file of the bench description when one is given, else the VISA library.
std::string benchText() {
    if (const char* bench = std::getenv("QM7X_BENCH"); bench != nullptr && *bench != '\0') {
        return std::string("QM7X_BENCH=") + bench;
    }
    const char* visa = std::getenv("QM7X_VISA_LIBRARY");
    return std::string("VISA ") + (visa != nullptr && *visa != '\0' ? visa : "(системная)");
}

}  // namespace

void recordSession(int position) {
    results::SessionRecord session;
    DriverText text{};
    trholdr_m_get_attribute(carrierSession, TRHOLDR_ATTR_DESCRIPTION, text.data());
    session.carrier_text = os::FromCp1251(text.data());
    session.carrier_resource = CurrentInstr != nullptr ? CurrentInstr->rsrcName : "";
    session.position = position;
    text.fill('\0');
    if (trqm7x_get_attribute(mezSession, TRQM7X_ATTR_SERIAL_NUMBER, text.data()) >= 0) {
        session.serial = os::FromCp1251(text.data());
    }
    DriverText driverRevision{};
    text.fill('\0');
    trqm7x_revision_query(mezSession, driverRevision.data(), text.data());
    session.revision = os::FromCp1251(text.data());
    session.program_version = std::string(kSoftwareVersion);
    session.mathlib_ident = mathLibraryIdentity.line;
    session.mathlib_crc32 = mathLibraryIdentity.crc32;
    session.operator_name = operatorName();
    session.bench = benchText();
    if (auto failure = results::ProgramRecorder().BeginSession(session)) {
        showStatusError(results::NotStoredText("сеанс модуля " + session.serial, *failure));
    }
}

void endSession() {
    results::ProgramRecorder().EndSession();
    calibr::ForgetReferences();
}

void recordSelfTest(int result, const std::string& message) {
    results::EventRecord event;
    event.kind = results::kSelfTest;
    event.status = result;
    event.detail = message;
    if (auto failure = results::ProgramRecorder().Event(event)) {
        showStatusError(results::NotStoredText("самоконтроль", *failure));
    }
}

}  // namespace qm7x::app
