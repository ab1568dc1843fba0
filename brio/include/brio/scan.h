/* Text scanning: substring search with match options, content between delimiters, keyword
 * lookup, word and line readers, trimming, whole-number checks and file exclusion lists.
 *
 * Positions returned are pointers into the caller's text, never copies. Functions whose names
 * begin with MT keep their reading position in a caller-held cursor and may be used from
 * several threads; GetBufferWord and GetBufferString keep it in the library (not thread-safe). */
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

/* The message of an error code (static text), also copied into dest when dest is not NULL. */
BRIO_API const char* BrioErrorCode2String(int16_t code, char* dest);

BRIO_API char* GetSubStringContent(const char* text, const char* pattern, char** after,
                                   int16_t options);
BRIO_API char* GetSubStringNoCrLf(const char* text, const char* pattern, char** after);
BRIO_API char* GetSubStringNoSpace(const char* text, const char* pattern, char** after);
BRIO_API char* GetSubStringNoCase(const char* text, const char* pattern, char** after);
BRIO_API char* FindNoCase(const char* text, const char* pattern, char ignore);

/* delimiters[0] opens, delimiters[1] closes (NULL or empty: no closing delimiter). *content,
 * when asked for, is a KV_Alloc block that the caller releases with KV_Free. */
BRIO_API char* GetDelimiterContent(const char* text, const char* const* delimiters,
                                   char** content, char** next, int16_t options);
BRIO_API char* GetDelimiterContentCmd(const char* text, const char* const* delimiters,
                                      char** content, char** next, int16_t options);

/* delimChars holds two characters: the opening and the closing delimiter. */
BRIO_API char* ExtractSubString(const char* text, const char* delimChars, char* dest,
                                int16_t maxSize);
BRIO_API char* GetSubString(char* text, const char* delimChars, char* dest);
BRIO_API char* GetSubStringCmd(const char* text, const char* delimChars, char* dest);

BRIO_API int16_t FindAction(const char* word, const char* const* keywords, int16_t count);

BRIO_API char* MTGetBufferWord(char** cursor, const char* text, char* word, char* delimiter,
                               int skipLeading);
BRIO_API char* GetBufferWord(const char* text, char* word, char* delimiter, int skipLeading);
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

BRIO_API int KVISStrFormat(const char* text, const char* format, void* value);

BRIO_API int ExtractFilename(char* dest, const char* path);
BRIO_API int ISExcludeFile(const char* fileName, const char* excludeList);

BRIO_END_DECLS
