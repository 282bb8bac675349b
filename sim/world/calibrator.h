// The programmable DC voltage calibrator of the simulated bench: a source with a command set of
// its own (IEEE 488.2 common commands and a few SCPI-style ones), an error queue, a settling time,
// an accuracy given as parts per million of the setting plus a floor per range, its own noise, and
// an actual output error at each setting drawn, seeded, from within that accuracy.
//
//   *IDN?  *RST  *CLS  *OPC?          identification, reset, clear status, operation complete
//   SOUR:VOLT <volts>   SOUR:VOLT?    the output setting ("VOLT" alone too)
//   OUTP ON|OFF|1|0     OUTP?         operate (output on its terminals) or standby
//   SYST:ERR?                         the oldest error: <code>,"<text>"; 0,"No error" when none
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm7x::sim {

// The accuracy of one output range: |error| <= ppm * 1e-6 * |setting| + floor.
struct CalibratorRange {
    double rangeV = 10.0;
    double ppm = 10.0;
    double floorV = 0.0;
};

// Where the output reaches: every QM7X channel of the carrier resource, or only those listed.
struct CalibratorWire {
    std::string carrier;         // resource name of the carrier
    std::vector<int> positions;  // 1..4; empty: all four
    std::vector<int> channels;   // 1..3; empty: all three
};

struct CalibratorSpec {
    std::vector<CalibratorRange> ranges;  // rising; a setting takes the smallest that holds it
    double settleS = 0.05;                // from a new setting or operate to *OPC?'s reply
    double noiseV = 0.0;                  // rms at the terminals
    std::vector<CalibratorWire> wiring;
};

// A fault told by the bench file for one command of a calibrator.
enum class CalibratorFaultKind { noReply, error, refused };
struct CalibratorFault {
    std::string resource;  // the calibrator's resource name
    std::string command;   // canonical header: "SOUR:VOLT", "OUTP", "*OPC?", ...
    CalibratorFaultKind kind = CalibratorFaultKind::noReply;
    std::string error;       // the queued entry for `error`; default -310,"System error"
    std::uint64_t call = 0;  // 0: every call; n: the n-th call of that command only
};

// The header of a command in its short form: "SOURCE:VOLTAGE" and "VOLT" are "SOUR:VOLT".
std::string CanonicalCalibratorHeader(std::string_view header);

// What a command gave: a reply (queries) or none, or no reply at all (the bus times out).
struct CalibratorAnswer {
    bool timedOut = false;
    std::optional<std::string> reply;
    std::chrono::steady_clock::time_point replyAt{};  // a reply is not given before this
};

class Calibrator {
  public:
    using Clock = std::chrono::steady_clock;

    Calibrator(std::string resource, std::string idn, CalibratorSpec spec, std::uint64_t seed,
               const std::vector<CalibratorFault>* faults);

    // Executes one command line (commands separated by ';').
    CalibratorAnswer execute(std::string_view line);

    const CalibratorSpec& spec() const { return spec_; }
    bool operate() const { return operate_; }
    double settingV() const { return settingV_; }
    // The accuracy of a setting (volts): ppm of the setting plus the floor of its range.
    double accuracyV(double settingV) const;
    // The voltage really at the terminals, noise aside: the setting plus its actual error in
    // operate, 0 V in standby.
    double appliedV() const;
    bool settled() const { return Clock::now() >= settledAt_; }
    bool wiredTo(const std::string& carrier, int position, int channel) const;

  private:
    std::optional<std::string> command(std::string_view text, bool& timedOut);
    void queueError(std::string entry);
    void startSettling() { settledAt_ = Clock::now() + settleDuration(); }
    Clock::duration settleDuration() const;
    double maxV() const;
    const CalibratorFault* faultFor(const std::string& header);

    std::string resource_;
    std::string idn_;
    CalibratorSpec spec_;
    std::uint64_t seed_;
    const std::vector<CalibratorFault>* faults_;
    std::vector<std::pair<std::string, std::uint64_t>> calls_;
    bool operate_ = false;
    double settingV_ = 0.0;
    std::deque<std::string> errors_;
    Clock::time_point settledAt_{};
};

}  // namespace qm7x::sim
