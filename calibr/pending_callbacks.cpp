// PLACEHOLDERS: each is replaced by the real operation as the calibration run is built; until then
// they do nothing and return 0.
#include "calibr_callbacks.h"

namespace qm7x::calibr {

int calibrPoint(int, int, int, void*, int, int) {
    return 0;
}
int calibrCB(int, int, int, void*, int, int) {
    return 0;
}
int resetCB(int, int, int, void*, int, int) {
    return 0;
}

}  // namespace qm7x::calibr
