/* The one allocator for blocks handed from one library to another. A block that a library
 * returns to its caller comes from KV_Alloc and is released once with KV_Free. */
#pragma once
#include <stddef.h>

#if defined(MOSK_BUILD)
#define MOSK_API __attribute__((visibility("default")))
#else
#define MOSK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A zero-filled block of at least size bytes (at least one byte for size 0), or NULL. */
MOSK_API void* KV_Alloc(size_t size);
/* Releases a block of KV_Alloc; NULL is ignored. */
MOSK_API void KV_Free(void* block);

#ifdef __cplusplus
}
#endif
