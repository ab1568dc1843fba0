// Window placement kept as one profile string of the running application (see
// fw::FormatPlacement for the text form).
#pragma once

#include "fw/WindowPlacement.h"
#include "plinth/plinth_api.h"

// Reads the record of section/entry; 1 only when it is present and whole, else 0 with out
// unchanged (a damaged value counts as no stored placement).
PLINTH_API int ReadWindowPlacement(const char* section, const char* entry,
                                   fw::WindowPlacement* out);
// Writes the record; 1 when stored.
PLINTH_API int WriteWindowPlacement(const char* section, const char* entry,
                                    const fw::WindowPlacement* placement);
