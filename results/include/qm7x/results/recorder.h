// What the program records while it runs: the session of the module open now, and its points,
// calibrations and events. The store is opened at the first record, at DefaultStoreLocation(),
// and kept open. A store that cannot be opened or written costs nothing but that record: the
// failure comes back to be shown, the store is closed, and the next record opens it again (a
// session not yet recorded is recorded then, before the row that needs it).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "qm7x/results/records.h"
#include "qm7x/results/store.h"

namespace qm7x::results {

class Recorder {
  public:
    // Each returns what failed (the store, the operation, what the database said), or nothing.
    std::optional<std::string> BeginSession(const SessionRecord& session);
    std::optional<std::string> Point(PointRecord point);
    std::optional<std::string> Calibration(CalibrationRecord calibration);
    std::optional<std::string> Event(EventRecord event);
    // The module was closed: later events belong to no session.
    void EndSession();

    // The open module's serial ("" with none open), for its history.
    std::string SessionSerial() const;
    // The store, opened if need be; nullptr with the failure in `error`.
    ResultsStore* Store(std::string& error);
    // Closes the store; the next record opens it again at the location of that moment.
    void Close();

  private:
    template <typename Write>
    std::optional<std::string> Record(Write write);

    std::unique_ptr<ResultsStore> store_;
    std::optional<SessionRecord> session_;
    std::int64_t session_id_ = 0;  // 0 while the session is not recorded
};

// The program's recorder.
Recorder& ProgramRecorder();

}  // namespace qm7x::results
