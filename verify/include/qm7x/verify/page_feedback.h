// What the verification page shows of the protocol and of the last point, so that the operator
// need not open the protocol panel to see either.
#pragma once

#include "qm7x/verify/deviation_check.h"

namespace qm7x::verify {

// FILE_NAME: while no protocol is open, the name of the file the next point opens, typed by the
// operator; while one is open, the name of that file, read only (it changes only through
// "файл протокола"), so that the field never names a file that is not being written.
void ShowProtocolFileName();

// RESULT, the line under "Пуск": the measured value, the systematic error and the verdict of the
// point just judged (red when out of tolerance); empty while a point is being measured.
void ShowPointResult(double un, const DeviationResult& result);
void ClearPointResult();

}  // namespace qm7x::verify
