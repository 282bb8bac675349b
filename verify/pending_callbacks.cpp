// PLACEHOLDERS: each is replaced by the real operation as the verification run and the protocol
// are built; until then they do nothing and return 0.
#include "verify_callbacks.h"

namespace qm7x::verify {

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

}  // namespace qm7x::verify
