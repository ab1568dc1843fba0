/* Text scanning: substring search with match options, content between delimiters, keyword
 * lookup, word and line readers, trimming, whole-number checks and file exclusion lists.
 *
 * Texts are NUL-terminated strings of 8-bit characters; a byte is a character. Positions
 * returned are pointers into the caller's text, never copies. Functions whose names begin with
 * MT keep their reading position in a caller-held cursor and may be used from several threads;
 * GetBufferWord and GetBufferString keep it in the library (not thread-safe). Every other
 * function is stateless. "Not found" leaves the out arguments as they were. */
#pragma once

#include "brio/brio_api.h"

BRIO_BEGIN_DECLS

/* Match options of the delimiter functions and GetSubStringContent; only the low three bits
 * count. 0 is an exact, case-sensitive search. */
#define MATCH_IGNORE_CRLF 1
#define MATCH_IGNORE_BLANKS 2
#define MATCH_IGNORE_CASE 4

/* Error codes of the file and time functions; BrioErrorCode2String gives their messages. */
#define BRIO_NO_ERROR 0
#define BRIO_ERR_ALLOC 1
#define BRIO_ERR_ACCESS 2
#define BRIO_ERR_BAD_ARG 3
#define BRIO_ERR_NOT_FOUND 4
#define BRIO_ERR_BUFFER_TOO_SMALL 5
#define BRIO_ERR_READ 6
#define BRIO_ERR_WRITE 7
#define BRIO_ERR_SYSTEM 8
#define BRIO_ERR_TIMEOUT 9
#define BRIO_ERR_WOULD_WAIT 10
#define BRIO_ERR_MAILER 11

/* The message of an error code (static text), also copied into dest when dest is not NULL
 * (a destination of 40 bytes always suffices). */
BRIO_API const char* BrioErrorCode2String(int16_t code, char* dest);

/* Leftmost match of pattern in text under the match options; returns its first compared text
 * character and sets *after (when given) just after its last compared one. NULL for a NULL
 * text, an empty pattern or a pattern made only of skipped characters. */
BRIO_API char* GetSubStringContent(const char* text, const char* pattern, char** after,
                                   int16_t options);
BRIO_API char* GetSubStringNoCrLf(const char* text, const char* pattern, char** after);
BRIO_API char* GetSubStringNoSpace(const char* text, const char* pattern, char** after);
BRIO_API char* GetSubStringNoCase(const char* text, const char* pattern, char** after);
/* Case-blind search; ignore (0 for none) is passed over on both sides like a blank. */
BRIO_API char* FindNoCase(const char* text, const char* pattern, char ignore);

/* delimiters[0] opens (NULL or empty: nothing is found), delimiters[1] closes (NULL or empty:
 * no closing delimiter). Returns where the opening delimiter begins. *content, when asked for
 * and a closing delimiter was found, is a KV_Alloc block that the caller releases with
 * KV_Free; *next is just after the closing delimiter (after the opening one without it). */
BRIO_API char* GetDelimiterContent(const char* text, const char* const* delimiters, char** content,
                                   char** next, int16_t options);
/* As GetDelimiterContent, but a closing delimiter immediately followed by a second copy does
 * not close; the content then keeps such pairs as they stand in the text. */
BRIO_API char* GetDelimiterContentCmd(const char* text, const char* const* delimiters,
                                      char** content, char** next, int16_t options);

/* delimChars holds two characters: the opening and the closing delimiter (a shorter string
 * finds nothing). The destinations must be as long as the content unless maxSize limits it. */
BRIO_API char* ExtractSubString(const char* text, const char* delimChars, char* dest,
                                int16_t maxSize);
BRIO_API char* GetSubString(char* text, const char* delimChars, char* dest);
/* A doubled closing character inside the content stands for one. Returns just after the real
 * closing character, NULL when the content is not closed (dest then holds the content up to
 * the end of the text). */
BRIO_API char* GetSubStringCmd(const char* text, const char* delimChars, char* dest);

/* Index of the keyword equal to word among the first count entries (a NULL entry ends the
 * list), or -1. */
BRIO_API int16_t FindAction(const char* word, const char* const* keywords, int16_t count);

/* Reads the next word; text NULL continues from the cursor. A NULL cursor reads from text
 * only and keeps no position. The word buffer must be as long as the longest word. */
BRIO_API char* MTGetBufferWord(char** cursor, const char* text, char* word, char* delimiter,
                               int skipLeading);
BRIO_API char* GetBufferWord(const char* text, char* word, char* delimiter, int skipLeading);
/* Reads the next line (without its CR, LF or CR LF) into line, at most size - 1 characters.
 * A longer line is cut there and the next call goes on from the first character not copied;
 * *stop is then that character. A buffer of size 1 or less receives nothing of the line and
 * the line is passed over whole. A NULL cursor reads from text only and keeps no position. */
BRIO_API char* MTGetBufferString(char** cursor, const char* text, char* line, int16_t size,
                                 char* stop);
BRIO_API char* GetBufferString(const char* text, char* line, int16_t size, char* stop);

BRIO_API int GetStrLen(const char* text);
BRIO_API int BufferLineCount(const char* start, const char* end);
BRIO_API int FindNextChar(const char* text, char c);
BRIO_API char* KVStrTok(char* text, const char* separators, char** rest);
BRIO_API void GetWord(char* word, char* text, char separator);

BRIO_API void Trim(char* text);
BRIO_API void TrimLeft(char* text);
BRIO_API void TrimRight(char* text);
BRIO_API void StrUpr(char* text);
BRIO_API int ISBlankString(const char* text);
BRIO_API void RMPendingCrLf(char* text);

/* 1 when text is a whole number of format "%d", "%u", "%ld", "%lu" (32-bit value stored) or
 * "%sd", "%su" (signed 16-bit value stored); value may be NULL. */
BRIO_API int KVISStrFormat(const char* text, const char* format, void* value);

BRIO_API int ExtractFilename(char* dest, const char* path);
/* 1 when fileName matches an entry of the comma-separated list, without regard to case. Each
 * entry is split like a path; in its title and extension "*" stands for the rest, which may be
 * empty, and in its folder part for at least one character ("\TEMP\*\*.*": the files below
 * \TEMP\, not in it). */
BRIO_API int ISExcludeFile(const char* fileName, const char* excludeList);

BRIO_END_DECLS
