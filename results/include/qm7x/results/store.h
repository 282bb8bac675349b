// The results store beside the protocol: opened (and migrated) at its location, it appends
// hash-chained rows, each committed and synced before its call returns.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "qm7x/results/backend.h"
#include "qm7x/results/records.h"

namespace qm7x::results {

struct PointSummary {
    std::int64_t id = 0;
    std::string recorded_at;
    int channel = 0;
    double range_v = 0.0, un = 0.0, ux = 0.0, dus = 0.0, dumax = 0.0;
    std::string verdict, mode, phase;
};

struct CalibrationSummary {
    std::int64_t id = 0;
    std::string recorded_at;
    int channel = 0;
    double gain_first_before = 0.0, gain_second_before = 0.0;
    double gain_first_after = 0.0, gain_second_after = 0.0;
};

struct SessionHistory {
    std::int64_t id = 0;
    std::string recorded_at, carrier_text, revision, operator_name, bench, program_version;
    std::vector<PointSummary> points;
    std::vector<CalibrationSummary> calibrations;
};

class ResultsStore {
  public:
    // Opens the store at the location (see OpenBackend) and brings its schema up to date.
    static std::unique_ptr<ResultsStore> Open(const std::string& location);
    explicit ResultsStore(std::unique_ptr<Backend> backend);

    std::int64_t RecordSession(const SessionRecord& session);
    std::int64_t RecordPoint(const PointRecord& point);
    std::int64_t RecordCalibration(const CalibrationRecord& calibration);
    std::int64_t RecordEvent(const EventRecord& event);

    // A point as recorded, raw codes and volts exactly as they were given.
    PointRecord ReadPoint(std::int64_t id);
    // The serial's sessions, oldest first, each with its points and calibrations.
    std::vector<SessionHistory> History(const std::string& serial);

    Backend& backend() { return *backend_; }
    std::string Describe() const { return backend_->Describe(); }

  private:
    std::unique_ptr<Backend> backend_;
};

}  // namespace qm7x::results
