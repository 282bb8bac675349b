// A header of the program, for the layer check's test.
#pragma once
