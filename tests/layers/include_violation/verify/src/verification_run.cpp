// A subsystem's source that includes a header of the program, for the layer check's test.
#include "qm7x/app/instruments.h"
