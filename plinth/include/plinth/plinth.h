// Start-up of the window objects library.
#pragma once

#include "plinth/plinth_api.h"

// Prepares the library; the program calls it first. Returns 1; calling it again does no harm.
PLINTH_API int InitPlinthDLL();
// 1 once InitPlinthDLL has run in this process.
PLINTH_API int ISPlinthInitialised();
