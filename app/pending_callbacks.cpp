// Placeholders: each is replaced by the real operation when its module is built.
#include "pending_callbacks.h"

namespace qm7x::app::pending {

int startTest(int, int, int, void*, int, int) {
    return 0;
}
int temperatureCB(int, int, int, void*, int, int) {
    return 0;
}
int selFName(int, int, int, void*, int, int) {
    return 0;
}
int showLog(int, int, int, void*, int, int) {
    return 0;
}
int chlpCB(int, int, void*, int, int) {
    return 0;
}
int calibrPoint(int, int, int, void*, int, int) {
    return 0;
}
int calibrCB(int, int, int, void*, int, int) {
    return 0;
}
int resetCB(int, int, int, void*, int, int) {
    return 0;
}

}  // namespace qm7x::app::pending
