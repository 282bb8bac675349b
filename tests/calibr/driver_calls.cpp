// Definitions in the executable take precedence over the drivers' shared libraries; each looks up
// the driver's own operation (the next definition in the search order) and calls it.
#include "driver_calls.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "trholdr.h"
#include "trqm7x.h"

namespace qm7x::test {

namespace {

std::vector<std::string>& calls() {
    static std::vector<std::string> recorded;
    return recorded;
}

template <typename Function>
Function next(const char* name) {
    void* symbol = ::dlsym(RTLD_NEXT, name);
    if (symbol == nullptr) {
        std::fprintf(stderr, "driver operation %s not found\n", name);
        std::abort();
    }
    return reinterpret_cast<Function>(symbol);
}

std::string hex16(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

std::string real(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::function<void(const std::string&)>& observer() {
    static std::function<void(const std::string&)> watching;
    return watching;
}

void record(std::string call) {
    if (observer()) {
        observer()(call);
    }
    calls().push_back(std::move(call));
}

}  // namespace

void ObserveDriverCalls(std::function<void(const std::string&)> watch) {
    observer() = std::move(watch);
}

const std::vector<std::string>& DriverCalls() {
    return calls();
}

void ClearDriverCalls() {
    calls().clear();
}

std::vector<std::string> DriverCallsFrom(const std::string& from) {
    const auto& all = calls();
    const auto first = std::find_if(all.begin(), all.end(),
                                    [&](const std::string& c) { return c.starts_with(from); });
    return {first == all.end() ? all.begin() : first, all.end()};
}

int CountDriverCalls(const std::string& prefix) {
    return static_cast<int>(
        std::count_if(calls().begin(), calls().end(),
                      [&](const std::string& c) { return c.starts_with(prefix); }));
}

}  // namespace qm7x::test

using qm7x::test::hex16;
using qm7x::test::next;
using qm7x::test::real;
using qm7x::test::record;

// Calls the driver's own operation of that name.
#define QM7X_PASS_ON(name, ...) next<decltype(&name)>(#name)(__VA_ARGS__)

extern "C" {

ViStatus _VI_FUNC trqm7x_reset(ViSession vi) {
    record("reset");
    return QM7X_PASS_ON(trqm7x_reset, vi);
}
ViStatus _VI_FUNC trqm7x_mode_block(ViSession vi, ViInt32 count) {
    record("mode_block " + std::to_string(count));
    return QM7X_PASS_ON(trqm7x_mode_block, vi, count);
}
ViStatus _VI_FUNC trqm7x_sample_period(ViSession vi, ViReal64 period) {
    record("sample_period " + real(period));
    return QM7X_PASS_ON(trqm7x_sample_period, vi, period);
}
ViStatus _VI_FUNC trqm7x_config_chans(ViSession vi, ViUInt16 mask) {
    record("config_chans " + hex16(mask));
    return QM7X_PASS_ON(trqm7x_config_chans, vi, mask);
}
ViStatus _VI_FUNC trqm7x_input_trigger(ViSession vi, ViInt16 channel, ViInt16 state) {
    record("input_trigger " + std::to_string(channel) + " " + std::to_string(state));
    return QM7X_PASS_ON(trqm7x_input_trigger, vi, channel, state);
}
ViStatus _VI_FUNC trqm7x_start(ViSession vi) {
    record("start");
    return QM7X_PASS_ON(trqm7x_start, vi);
}
ViStatus _VI_FUNC trqm7x_stop(ViSession vi) {
    record("stop");
    return QM7X_PASS_ON(trqm7x_stop, vi);
}
ViStatus _VI_FUNC trqm7x_state(ViSession vi, ViInt16* busy, void* reserved) {
    record("state");
    return QM7X_PASS_ON(trqm7x_state, vi, busy, reserved);
}
ViStatus _VI_FUNC trholdr_m_read_block(ViSession vi, ViInt32 first, ViInt32 count,
                                       ViInt32 samples[]) {
    record("read_block " + std::to_string(first) + " " + std::to_string(count));
    return QM7X_PASS_ON(trholdr_m_read_block, vi, first, count, samples);
}
ViStatus _VI_FUNC trqm7x_extcalibr(ViSession vi, ViReal64 uPos, ViReal64 uNeg, ViInt32 samplesPos[],
                                   ViInt32 samplesNeg[], ViInt32 count, ViInt16 channel) {
    record("extcalibr " + real(uPos) + " " + real(uNeg) + " " + std::to_string(count) + " " +
           std::to_string(channel));
    return QM7X_PASS_ON(trqm7x_extcalibr, vi, uPos, uNeg, samplesPos, samplesNeg, count, channel);
}
ViStatus _VI_FUNC trqm7x_displacement(ViSession vi) {
    record("displacement");
    return QM7X_PASS_ON(trqm7x_displacement, vi);
}
ViStatus _VI_FUNC trqm7x_readFlash(ViSession vi) {
    record("readFlash");
    return QM7X_PASS_ON(trqm7x_readFlash, vi);
}
ViStatus _VI_FUNC trqm7x_writeFlash(ViSession vi) {
    record("writeFlash");
    return QM7X_PASS_ON(trqm7x_writeFlash, vi);
}
ViStatus _VI_FUNC trqm7x_resetCoeff(ViSession vi) {
    record("resetCoeff");
    return QM7X_PASS_ON(trqm7x_resetCoeff, vi);
}
ViStatus _VI_FUNC trqm7x_self_test(ViSession vi, ViInt16* result, ViChar message[]) {
    record("self_test");
    return QM7X_PASS_ON(trqm7x_self_test, vi, result, message);
}
ViStatus _VI_FUNC trqm7x_init(ViRsrc resource, ViBoolean idQuery, ViBoolean reset, ViSession* vi) {
    record("init");
    return QM7X_PASS_ON(trqm7x_init, resource, idQuery, reset, vi);
}
ViStatus _VI_FUNC trqm7x_close(ViSession vi) {
    record("close");
    return QM7X_PASS_ON(trqm7x_close, vi);
}

}  // extern "C"
