/* Brio, the text utility library: plain C functions over NUL-terminated 8-bit strings.
 * Include this header for the whole library. Blocks that a function hands to its caller come
 * from KV_Alloc (mosk/mosk.h) and are released by the caller with KV_Free. */
#pragma once

#include "brio/brio_api.h"
#include "brio/scan.h"
#include "brio/profile.h"
#include "brio/times.h"
#include "brio/files.h"
#include "brio/utils.h"
#include "brio/findfile.h"
