// The clock behind Timer() and Delay(): the real monotonic clock, or a virtual one in tests.
#pragma once

namespace qm7x::ui {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual double Now() = 0;                // seconds
    virtual void Sleep(double seconds) = 0;  // Delay
};

// A clock that only moves when told: Delay advances it at once.
class VirtualClock final : public Clock {
  public:
    explicit VirtualClock(double start = 0.0) : now_(start) {}
    double Now() override { return now_; }
    void Sleep(double seconds) override {
        if (seconds > 0.0) {
            now_ += seconds;
        }
    }
    void Advance(double seconds) { Sleep(seconds); }

  private:
    double now_;
};

// Installs a clock (not owned; nullptr: the real clock). Returns the previous one.
Clock* SetClock(Clock* clock);

}  // namespace qm7x::ui
