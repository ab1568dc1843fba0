/* Export and linkage macros shared by Brio's headers. */
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "mosk/mosk.h"

#if defined(BRIO_BUILD)
#define BRIO_API __attribute__((visibility("default")))
#else
#define BRIO_API
#endif

#ifdef __cplusplus
#define BRIO_BEGIN_DECLS extern "C" {
#define BRIO_END_DECLS }
#else
#define BRIO_BEGIN_DECLS
#define BRIO_END_DECLS
#endif
