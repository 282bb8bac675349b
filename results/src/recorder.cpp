#include "qm7x/results/recorder.h"

namespace qm7x::results {

ResultsStore* Recorder::Store(std::string& error) {
    if (!store_) {
        try {
            store_ = ResultsStore::Open(DefaultStoreLocation());
        } catch (const std::exception& failure) {
            error = failure.what();
            return nullptr;
        }
    }
    return store_.get();
}

void Recorder::Close() {
    store_.reset();
}

template <typename Write>
std::optional<std::string> Recorder::Record(Write write) {
    std::string error;
    ResultsStore* store = Store(error);
    if (store == nullptr) {
        return error;
    }
    try {
        if (session_ && session_id_ == 0) {
            session_id_ = store->RecordSession(*session_);
        }
        write(*store);
        return std::nullopt;
    } catch (const std::exception& failure) {
        // A connection lost or a file gone: open afresh next time.
        store_.reset();
        return failure.what();
    }
}

std::optional<std::string> Recorder::BeginSession(const SessionRecord& session) {
    session_ = session;
    session_id_ = 0;
    return Record([](ResultsStore&) {});
}

std::optional<std::string> Recorder::Point(PointRecord point, std::int64_t* point_id) {
    return Record([&](ResultsStore& store) {
        point.session_id = session_id_;
        const std::int64_t id = store.RecordPoint(point);
        if (point_id != nullptr) {
            *point_id = id;
        }
    });
}

std::optional<std::string> Recorder::WriteRecord(const std::function<void(ResultsStore&)>& write) {
    return Record([&](ResultsStore& store) { write(store); });
}

std::optional<std::string> Recorder::Calibration(CalibrationRecord calibration) {
    return Record([&](ResultsStore& store) {
        calibration.session_id = session_id_;
        store.RecordCalibration(calibration);
    });
}

std::optional<std::string> Recorder::Event(EventRecord event) {
    return Record([&](ResultsStore& store) {
        event.session_id = session_id_;
        store.RecordEvent(event);
    });
}

void Recorder::EndSession() {
    session_.reset();
    session_id_ = 0;
}

std::string Recorder::SessionSerial() const {
    return session_ ? session_->serial : std::string();
}

std::string NotStoredText(std::string_view what, std::string_view cause) {
    return "Не записано в хранилище результатов: " + std::string(what) +
           ". Причина: " + std::string(cause);
}

Recorder& ProgramRecorder() {
    static Recorder recorder;
    return recorder;
}

}  // namespace qm7x::results
