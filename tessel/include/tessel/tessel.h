// Tessel, the utility objects library: file names, file set entries, string, address and
// list-sort helpers. Include the header of the class you use; this one holds the library's
// start-up call.
#pragma once

#include "tessel/tessel_api.h"

// Called by the program first thing at start-up, before any other Tessel object is used.
// Safe to call more than once and from any thread; returns 1.
TESSEL_API int InitTesselDLL();

// 1 once InitTesselDLL has run in this process.
TESSEL_API int ISTesselInitialised();
