// The calibration's operations for a caller that drives them itself (the automatic procedure) and
// already holds the run guard: the same runs as the page's buttons, without their confirmations.
#pragma once

#include <functional>
#include <string>

#include "qm7x/calibr/reference_reply.h"

namespace qm7x::calibr {

// Answers a prompt of the run: `reply` holds the previous reply on entry and the reply as typed
// on return; false cancels the run.
using ReferenceAnswer = std::function<bool(Polarity, std::string& reply)>;

// The two-point calibration of the channel CP_CHAN shows, as its "Пуск" runs it; the reply is
// checked as a typed one. True when the channel's gains were computed.
bool RunCalibration(const ReferenceAnswer& answer);
// "Смещение 0": true when the driver adjusted the zero offsets.
bool AdjustZeroOffset();
// "Запись в EEPROM" once confirmed: the record written and logged. True when written.
bool StoreCoefficients();

}  // namespace qm7x::calibr
