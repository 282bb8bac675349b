// The one simulated world of a process: the bench loaded once, the QM7X modules, and every open
// VISA, carrier and mezzanine session. The VISA library and both drivers share it, so a carrier
// session opened by one driver is known to the other. All access holds the world's lock.
#pragma once

#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "bench.h"
#include "calibrator.h"
#include "coeff_record.h"
#include "qm7x_module.h"
#include "visatype.h"

namespace qm7x::sim {

struct CarrierSession {
    const ResourceSpec* resource = nullptr;
};

struct MezzanineSession {
    const ResourceSpec* resource = nullptr;  // the carrier named at init
    bool resetAtConnect = true;
    int position = 0;  // 1..4 once connected
    Qm7xModule* module = nullptr;
    CoeffRecord record;  // handed out by address: lives as long as the session
    std::array<double, kChannels> offsetsV{};  // zero offsets found by the adjustment
    std::uint32_t bufferWords = 0;             // reserved acquisition buffer, 32-bit words
    std::int32_t events = 0;
};

struct VisaObject {
    enum class Kind { resourceManager, instrument, findList } kind = Kind::resourceManager;
    ViSession owner = 0;                     // resource manager of an instrument or find list
    const ResourceSpec* resource = nullptr;  // instrument
    std::vector<std::string> matches;        // find list
    std::size_t next = 0;
};

class World {
  public:
    // The world of this process; the bench is loaded on first use from QM7X_BENCH, or from the
    // default bench beside the sources when that is unset.
    static World& Instance();

    std::unique_lock<std::mutex> lock() { return std::unique_lock(mutex_); }
    std::condition_variable& lockReleased() { return lockReleased_; }

    // Loads another bench: every session is closed, every call counter restarts.
    void load(const std::filesystem::path& benchFile);

    // Counts a call of the operation and answers the injected fault of this call, if any;
    // kErrorBench when the bench file could not be used.
    ViStatus enter(std::string_view operation);

    const Bench* bench() const { return bench_ ? &*bench_ : nullptr; }
    const ResourceSpec* findResource(std::string_view name) const;
    Qm7xModule* module(const std::string& serial);
    // The calibrator at this resource, if the bench has one there.
    Calibrator* calibrator(std::string_view resource);
    // What the calibrators wired to the channels of the QM7X at this carrier position apply, in
    // place of the reference source: volts and the source's own rms noise per channel 1..3.
    struct Inputs {
        std::array<double, kChannels> volts{};
        std::array<double, kChannels> noiseV{};
    };
    void applyCalibrators(const std::string& carrier, int position, Inputs& inputs) const;

    // The detail of the latest problem behind a status (bench file line, EEPROM file), UTF-8.
    void setDetail(ViStatus status, std::string detail) { details_[status] = std::move(detail); }
    std::string detail(ViStatus status) const;

    // Sessions of the three libraries; 0 and closed handles are never valid.
    ViSession open(CarrierSession session);
    ViSession open(std::unique_ptr<MezzanineSession> session);
    ViSession open(VisaObject object);
    CarrierSession* carrier(ViSession vi);
    MezzanineSession* mezzanine(ViSession vi);
    VisaObject* visa(ViSession vi);
    bool close(ViSession vi);
    std::vector<ViSession> visaObjectsOf(ViSession owner) const;
    bool moduleInUse(const Qm7xModule* module, ViSession except) const;

    // Exclusive VISA locks by resource name: the holding session.
    std::map<std::string, ViSession>& visaLocks() { return visaLocks_; }

  private:
    World() = default;

    std::mutex mutex_;
    std::condition_variable lockReleased_;
    std::optional<Bench> bench_;
    std::map<std::string, std::unique_ptr<Qm7xModule>> modules_;
    std::map<std::string, std::unique_ptr<Calibrator>> calibrators_;  // by upper-case name
    std::map<std::string, std::uint64_t, std::less<>> calls_;
    std::map<ViStatus, std::string> details_;
    ViSession nextHandle_ = 0x1001;
    std::map<ViSession, CarrierSession> carriers_;
    std::map<ViSession, std::unique_ptr<MezzanineSession>> mezzanines_;
    std::map<ViSession, VisaObject> visaObjects_;
    std::map<std::string, ViSession> visaLocks_;
};

// Runs the body of an exported operation under the world's lock: counts the call, applies an
// injected fault (an error before the operation acts, a warning after it succeeded) and turns
// any exception into a status, so nothing is ever thrown across the C boundary.
template <class Body>
ViStatus RunOperation(std::string_view operation, Body&& body) noexcept {
    try {
        World& world = World::Instance();
        auto guard = world.lock();
        const ViStatus injected = world.enter(operation);
        if (injected < 0) {
            return injected;
        }
        const ViStatus status = body(world, guard);
        return (status == VI_SUCCESS && injected > 0) ? injected : status;
    } catch (const std::bad_alloc&) {
        return VI_ERROR_ALLOC;
    } catch (...) {
        return VI_ERROR_SYSTEM_ERROR;
    }
}

}  // namespace qm7x::sim
