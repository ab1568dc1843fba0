/* Reading sections and keys out of an INI-like text held in memory (command files and reports).
 *
 * A section header is a line that begins with "[" name "]" (names match exactly, case counts;
 * the first header of a name wins; names are at most 255 characters). A key line is a line
 * whose first word, after blanks and tabs, is the key, followed by optional blanks and "=".
 * A line that begins with "#" after blanks is a comment. A value runs from after its "=" over
 * the following lines up to the next comment, "[" line or key line (one word, then "="); its
 * line ends stay inside, trailing CR and LF are removed and leading blanks are kept. Values are
 * at most KV_PROFILE_MAX_VALUE characters.
 *
 * Stateless and safe from any thread; the text is only read. */
#pragma once

#include "brio/brio_api.h"

BRIO_BEGIN_DECLS

/* The key argument that asks for the list of a section's key names. */
#ifdef __cplusplus
#define KV_PROFILE_KEY_LIST (reinterpret_cast<const char*>(static_cast<intptr_t>(-1)))
#else
#define KV_PROFILE_KEY_LIST ((const char*)(intptr_t)-1)
#endif

/* Longest section name that can be found. */
#define KV_PROFILE_MAX_SECTION 255
/* Longest value handed out; a longer one is cut. */
#define KV_PROFILE_MAX_VALUE 51199

/* section  key          dest  result
 * NULL     any          NULL  -1
 * NULL     any          given every section name, trimmed and followed by one blank; the
 *                             length of that list, or -1 when it does not fit
 * too long any          any   0 (the default is copied when dest and def are given)
 * missing  any          any   -1 (the default is copied when dest and def are given)
 * found    NULL         NULL  the length of the section body (from after "]" up to the next
 *                             header, line ends included)
 * found    NULL         given the body, at most size characters, trailing CR and LF removed;
 *                             the number of characters copied, or -1 when it did not fit
 * found    name         NULL  the length of the value span in the text (its trailing line ends
 *                             included); 0 for a missing key
 * found    LIST         given every key name up to the first comment or header, followed by
 *                             one blank each; the length of the list, or -1 when it does not
 *                             fit (with dest NULL the length the list would have)
 * found    name         given the value (for a missing key the default, or "" without one),
 *                             at most size characters; its length, or -1 when it was longer
 *
 * dest must hold size + 1 bytes and is always NUL-terminated when written. A negative size
 * with a dest writes nothing and gives -1. A NULL text is an empty one. */
BRIO_API int KVGetPrivateProfileString(const char* section, const char* key, const char* def,
                                       char* dest, int size, const char* text);

BRIO_END_DECLS
