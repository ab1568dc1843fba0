#include "mosk/mosk.h"

#include <stdlib.h>

void* KV_Alloc(size_t size)
{
    return calloc(size ? size : 1, 1);
}

void KV_Free(void* block)
{
    free(block);
}
