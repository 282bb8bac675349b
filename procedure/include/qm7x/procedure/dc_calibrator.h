// The programmable DC voltage calibrator, driven over VISA: identification, the output setting,
// operate and standby, settling (*OPC?), and its error queue read after every setting so that a
// refused command is never taken for a done one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "visatype.h"

namespace qm7x::procedure {

// The output accuracy of one range of a calibrator, from its maker's data sheet:
// |error| <= ppm * 1e-6 * |setting| + floor.
struct AccuracyRange {
    double rangeV = 0.0;
    double ppm = 0.0;
    double floorV = 0.0;
};

// The identification models this driver knows ("<maker>,<model>" of the *IDN? reply).
bool IsKnownCalibrator(const std::string& idn);

// A calibrator found on the buses: its resource and its identification reply.
struct CalibratorFound {
    std::string resource;
    std::string idn;
};
// Every instrument answering *IDN? with a known model, in the order VISA lists them; an empty
// list when VISA cannot be used.
std::vector<CalibratorFound> FindCalibrators();

// The text of a VISA status for the operator (its name and what it means).
std::string VisaStatusText(ViStatus status);

class DcCalibrator {
  public:
    DcCalibrator() = default;
    ~DcCalibrator();
    DcCalibrator(const DcCalibrator&) = delete;
    DcCalibrator& operator=(const DcCalibrator&) = delete;

    // Each operation returns nothing when done, else the failure for the operator: the
    // calibrator's resource, the command, and the VISA status or the calibrator's own error.
    using Failure = std::optional<std::string>;

    // Opens the resource, reads its identification, resets it (*RST, *CLS: standby, 0 V).
    Failure open(const std::string& resource);
    void close();
    bool isOpen() const { return vi_ != VI_NULL; }
    const std::string& resource() const { return resource_; }
    const std::string& identity() const { return idn_; }

    // The data sheet's accuracy of the model opened (ranges rising), and that of a setting
    // (the smallest range holding it; 0 beyond the largest).
    const std::vector<AccuracyRange>& accuracy() const { return accuracy_; }
    double accuracyV(double volts) const;

    Failure setVolts(double volts);
    Failure operate();
    Failure standby();
    // Waits until the output has settled at its setting.
    Failure waitSettled();

  private:
    Failure write(const std::string& command);
    Failure query(const std::string& command, std::string& reply);
    // Reads the error queue after a command; the first error is the failure.
    Failure checkErrors(const std::string& command);
    std::string failure(const std::string& command, const std::string& cause) const;

    ViSession rm_ = VI_NULL;
    ViSession vi_ = VI_NULL;
    std::string resource_;
    std::string idn_;
    std::vector<AccuracyRange> accuracy_;
};

}  // namespace qm7x::procedure
