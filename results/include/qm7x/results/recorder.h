// What the program records while it runs: the session of the module open now, and its points,
// calibrations and events. The store is opened at the first record, at DefaultStoreLocation(),
// and kept open. A store that cannot be opened or written costs nothing but that record: the
// failure comes back to be shown, the store is closed, and the next record opens it again (a
// session not yet recorded is recorded then, before the row that needs it).
#pragma once

#include <cstdint>
#include <functional>
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
    // `point_id`, when given, receives the point's row (for the records kept with it).
    std::optional<std::string> Point(PointRecord point, std::int64_t* point_id = nullptr);
    std::optional<std::string> Calibration(CalibrationRecord calibration);
    std::optional<std::string> Event(EventRecord event);
    // Any other record kept in the store (a point's budget, an override): `write` runs on the
    // store, opened if need be, and what it throws comes back as the failure.
    std::optional<std::string> WriteRecord(const std::function<void(ResultsStore&)>& write);
    // The module was closed: later events belong to no session.
    void EndSession();

    // The open session's row (0 while it is not recorded).
    std::int64_t SessionId() const { return session_id_; }
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

// The status line's text for a record the store did not take: what was not recorded, and why.
std::string NotStoredText(std::string_view what, std::string_view cause);

}  // namespace qm7x::results
