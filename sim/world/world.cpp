#include "world.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "eeprom_image.h"
#include "status.h"

#ifndef QM7X_SIM_DEFAULT_BENCH
#define QM7X_SIM_DEFAULT_BENCH "default.yaml"
#endif

namespace qm7x::sim {
namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

std::optional<std::filesystem::path> StateDirOverride() {
    const char* dir = std::getenv("QM7X_SIM_STATE_DIR");
    if (dir == nullptr || *dir == '\0') {
        return std::nullopt;
    }
    return std::filesystem::path(dir);
}

}  // namespace

World& World::Instance() {
    static World& world = []() -> World& {
        static World created;
        const char* named = std::getenv("QM7X_BENCH");
        auto guard = created.lock();
        created.load(named != nullptr && *named != '\0' ? named : QM7X_SIM_DEFAULT_BENCH);
        return created;
    }();
    return world;
}

void World::load(const std::filesystem::path& benchFile) {
    carriers_.clear();
    mezzanines_.clear();
    visaObjects_.clear();
    visaLocks_.clear();
    modules_.clear();
    calibrators_.clear();
    calls_.clear();
    details_.clear();
    bench_.reset();
    try {
        bench_ = LoadBench(benchFile, StateDirOverride());
        for (const auto& resource : bench_->resources) {
            if (resource.calibrator) {
                calibrators_[Upper(resource.name)] = std::make_unique<Calibrator>(
                    resource.name, resource.idn.value_or(""), *resource.calibrator, bench_->seed,
                    &bench_->calibratorFaults);
            }
            if (!resource.carrier) {
                continue;
            }
            for (const auto& position : resource.carrier->positions) {
                if (position.qm7x) {
                    RemoveStaleTemporaries(position.qm7x->eepromImage);
                    modules_[position.qm7x->serial] =
                        std::make_unique<Qm7xModule>(*position.qm7x, bench_->seed);
                }
            }
        }
    } catch (const BenchError& error) {
        // The driver's text has 255 characters: it names the file without its directory.
        std::string shortened = error.what();
        const std::string full = std::filesystem::absolute(benchFile).string();
        if (shortened.rfind(full, 0) == 0) {
            shortened.replace(0, full.size(), benchFile.filename().string());
        }
        setDetail(kErrorBench, shortened);
        std::fprintf(stderr, "QM7X simulated bench: %s\n", error.what());
    } catch (const std::exception& error) {
        // Anything else (no memory) still leaves a world that answers every call with a reason.
        bench_.reset();
        modules_.clear();
        calibrators_.clear();
        setDetail(kErrorBench, benchFile.filename().string() + ": " + error.what());
        std::fprintf(stderr, "QM7X simulated bench: %s: %s\n", benchFile.c_str(), error.what());
    }
}

ViStatus World::enter(std::string_view operation) {
    if (!bench_) {
        return kErrorBench;
    }
    auto found = calls_.find(operation);
    if (found == calls_.end()) {
        found = calls_.emplace(std::string(operation), 0).first;
    }
    const std::uint64_t call = ++found->second;
    for (const auto& fault : bench_->faults) {
        if (fault.operation == operation && (fault.call == 0 || fault.call == call)) {
            return fault.status;
        }
    }
    return VI_SUCCESS;
}

const ResourceSpec* World::findResource(std::string_view name) const {
    if (!bench_) {
        return nullptr;
    }
    const std::string wanted = Upper(name);
    for (const auto& resource : bench_->resources) {
        if (Upper(resource.name) == wanted) {
            return &resource;
        }
    }
    return nullptr;
}

Qm7xModule* World::module(const std::string& serial) {
    const auto found = modules_.find(serial);
    return found == modules_.end() ? nullptr : found->second.get();
}

Calibrator* World::calibrator(std::string_view resource) {
    const auto found = calibrators_.find(Upper(resource));
    return found == calibrators_.end() ? nullptr : found->second.get();
}

void World::applyCalibrators(const std::string& carrier, int position, Inputs& inputs) const {
    for (const auto& [name, calibrator] : calibrators_) {
        for (int channel = 1; channel <= kChannels; ++channel) {
            // In standby the output terminals are open: the input sees the rest of the bench.
            if (calibrator->operate() && calibrator->wiredTo(carrier, position, channel)) {
                const auto index = static_cast<std::size_t>(channel - 1);
                inputs.volts[index] = calibrator->appliedV();
                inputs.noiseV[index] = calibrator->spec().noiseV;
            }
        }
    }
}

std::string World::detail(ViStatus status) const {
    const auto found = details_.find(status);
    return found == details_.end() ? std::string() : found->second;
}

ViSession World::open(CarrierSession session) {
    const ViSession vi = nextHandle_++;
    carriers_.emplace(vi, session);
    return vi;
}

ViSession World::open(std::unique_ptr<MezzanineSession> session) {
    const ViSession vi = nextHandle_++;
    mezzanines_.emplace(vi, std::move(session));
    return vi;
}

ViSession World::open(VisaObject object) {
    const ViSession vi = nextHandle_++;
    visaObjects_.emplace(vi, std::move(object));
    return vi;
}

CarrierSession* World::carrier(ViSession vi) {
    const auto found = carriers_.find(vi);
    return found == carriers_.end() ? nullptr : &found->second;
}

MezzanineSession* World::mezzanine(ViSession vi) {
    const auto found = mezzanines_.find(vi);
    return found == mezzanines_.end() ? nullptr : found->second.get();
}

VisaObject* World::visa(ViSession vi) {
    const auto found = visaObjects_.find(vi);
    return found == visaObjects_.end() ? nullptr : &found->second;
}

bool World::close(ViSession vi) {
    for (auto lock = visaLocks_.begin(); lock != visaLocks_.end();) {
        lock = lock->second == vi ? visaLocks_.erase(lock) : std::next(lock);
    }
    lockReleased_.notify_all();
    return carriers_.erase(vi) + mezzanines_.erase(vi) + visaObjects_.erase(vi) > 0;
}

std::vector<ViSession> World::visaObjectsOf(ViSession owner) const {
    std::vector<ViSession> owned;
    for (const auto& [vi, object] : visaObjects_) {
        if (object.owner == owner && vi != owner) {
            owned.push_back(vi);
        }
    }
    return owned;
}

bool World::moduleInUse(const Qm7xModule* module, ViSession except) const {
    return std::any_of(mezzanines_.begin(), mezzanines_.end(), [&](const auto& entry) {
        return entry.first != except && entry.second->module == module;
    });
}

}  // namespace qm7x::sim
