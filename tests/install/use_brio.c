/* A C program built against an installed Brio: one text call and the shared allocator. */
#include <brio/brio.h>
#include <stdio.h>
#include <string.h>

int main(void)
{
    char* dest = KV_Alloc(16);
    const int ok =
        dest != NULL && EncodeBase64("Wendo", dest, 16) > 0 && strcmp(dest, "V2VuZG8=") == 0;
    KV_Free(dest);
    puts(ok ? "brio ok" : "brio wrong");
    return ok ? 0 : 1;
}
