/* General utilities of Brio that the family's other programs use: encodings, geographic and
 * GPS-time conversions, payment-card checks, the country table, service and shutdown control,
 * e-mail and postal-code extraction and further string helpers.
 *
 * Blocks handed to the caller come from KV_Alloc and are released once with KV_Free.
 * Time values are KVTIME (brio/times.h): 64-bit counts of seconds since 1970-01-01 00:00 UTC.
 * Every function may be called from any thread except StripHTMLTags and GetFmtStr, which
 * share state of the library (the inside-a-tag flag, standard input). */
#pragma once

#include "brio/brio_api.h"
#include "brio/times.h"

#include <wchar.h>

BRIO_BEGIN_DECLS

/* ---- Encodings ------------------------------------------------------------------------- */

/* Base64 of the bytes of a NUL-terminated text, NUL-terminated in dest. Result: characters
 * written plus 1 (the NUL); -1 for NULL arguments or when dest is too small. While encoding,
 * dest must keep room for each four-character group plus 6 spare bytes, so a text of n bytes
 * needs 4 * ((n + 2) / 3) + 6 bytes (1 byte for an empty text). */
BRIO_API int EncodeBase64(const char* text, char* dest, int destSize);

/* Decodes Base64 text; white space is skipped, decoding stops at the first "=" (after it only
 * white space, and a second "=" for a group of one byte, may follow); a final group without
 * padding is accepted. With dest NULL, only counts. A NUL follows the bytes when dest has room
 * left for it. Result: bytes decoded; -1 for NULL text, a character outside the alphabet,
 * wrong padding, or a dest of destSize too small for the bytes. */
BRIO_API int DecodeBase64(const char* text, char* dest, int destSize);

/* Lower-case hexadecimal of the byte value of c, without a leading zero ("a", "e9"); dest
 * needs 3 bytes. Result: dest (NULL for a NULL dest). */
BRIO_API char* Ascii2Hex(char c, char* dest);

/* The byte of the two hexadecimal digits (either case) at hex[0] and hex[1]; 0 when hex is
 * NULL or either character is not a hexadecimal digit. */
BRIO_API char Hex2Ascii(const char* hex);

/* HTML entity name (without "&" and ";") of c: "iexcl" (161) to "yuml" (255); "" for CR, LF
 * and 128 to 159 (the character is dropped); NULL for every other character (kept as is). */
BRIO_API const char* chAsc2Htm(char c);

/* 1 when the text holds a character below 32 or of 128 and above; 0 otherwise or for NULL. */
BRIO_API int ISMustConvertAsc2Htm(const char* text);

/* Converts the characters that have entity names to "&name;" and leaves out the dropped ones
 * ("<", ">", "&" and '"' are kept). When nothing needs converting, text itself is returned and
 * nothing is allocated; otherwise a KV_Alloc block that the caller frees with KV_Free (compare
 * the result with text to tell). The result is also stored in *out. NULL for NULL arguments or
 * when allocation fails (*out is then NULL). */
BRIO_API char* pszAsc2Htm(const char* text, char** out);

/* Wide-character copy of an ANSI text, read as Windows-1252 (Latin-1 plus the printable
 * characters of 128 to 159; the five unassigned bytes map to the same code point). A KV_Alloc
 * block that the caller frees with KV_Free, also stored in *out when out is not NULL. NULL for
 * a NULL text or when allocation fails. */
BRIO_API wchar_t* Ansi2Unicode(const char* text, wchar_t** out);

/* Removes in place every character from "<" to the next ">" inclusive. Whether the last call
 * ended inside a tag is kept in the library, so a tag may continue into the next call's text
 * (one flag for the whole process: not for concurrent use). Result: text (NULL for NULL). */
BRIO_API char* StripHTMLTags(char* text);

/* ---- Geography and GPS time ------------------------------------------------------------- */

/* Great-circle distance in metres between two points given in degrees, on a sphere of radius
 * 6371000 m; an angle below 0.000001 radian gives 0. Never negative. */
BRIO_API double CalcSphereDistance(double longitude1, double latitude1, double longitude2,
                                   double latitude2);

/* Degrees to hundredths of arc-seconds counted from -180 (longitude) and -90 (latitude), in
 * place; either pointer may be NULL. Result 1. */
BRIO_API int Deg2ArcSec(double* longitude, double* latitude);
/* The inverse of Deg2ArcSec. Result 1. */
BRIO_API int ArcSec2Deg(double* longitude, double* latitude);

/* The value printed with that many decimals (0 to 100; outside, clamped) and read back. */
BRIO_API double RoundDouble(double value, int decimals);

/* Parts of an angle written as degrees, separator, minutes, separator, seconds. Digits and
 * blanks belong to a number; any other character separates. A leading "-" makes the degrees
 * negative; the seconds may carry a decimal point. A missing part is 0; NULL gives 0. */
BRIO_API int GetDegFromStr(const char* text);
BRIO_API int GetMinuteFromStr(const char* text);
BRIO_API double GetSecondeFromStr(const char* text);

/* Degrees + minutes / 60 + seconds / 3600 of such a text; negative with a leading "-". */
BRIO_API double StrToLongLat(const char* text);

/* Writes value as degrees, minutes and seconds following the template: its first three runs
 * of digits give the widths of degrees, minutes and seconds (zero-padded; a wider number is
 * written whole), the last run may hold a "." whose following digits give the decimals, other
 * characters are copied. A negative value gets a leading "-". dest needs strlen(template) + 6
 * bytes. Result 1; 0 (dest empty when not NULL) for NULL arguments or a value that is not
 * finite or lies beyond +-360. */
BRIO_API int LongLatToStr(char* dest, const char* tmpl, double value);

/* GPS time (seconds since 1980-01-06 00:00) to and from a time value; leap seconds are not
 * counted, as in the family's data files. */
BRIO_API KVTIME GPSTime2Time(int64_t gpsSeconds);
BRIO_API int64_t Time2GPSTime(KVTIME timeValue);
/* Full (not modulo 1024) GPS week and seconds into that week. */
BRIO_API KVTIME GPSWeekTime2Time(int32_t week, int32_t secondsOfWeek);
/* -1 when week is NULL, else 1; seconds may be NULL. Times before 1980-01-06 give a negative
 * week with seconds from 0 to 604799. */
BRIO_API int Time2GPSWeekTime(KVTIME timeValue, int32_t* week, int32_t* secondsOfWeek);

/* ---- Payment cards ---------------------------------------------------------------------- */

/* 1 when the number (digits only, at most 19) passes the Luhn check and the rule of one of
 * the card types of IsValidCC; else 0 (also for NULL). */
BRIO_API int IsAnyCCNb(const char* number);

/* Checks the number against the rule of the named type (any case): VISA, MASTERCARD,
 * AMERICANEXPRESS or AMEX, DISCOVER, JCB, DINERS, CARTEBLANCHE, ENROUTE. A type outside this
 * list checks nothing and gives 1. 0 for a NULL argument. */
BRIO_API int IsValidCC(const char* number, const char* cardType);

/* ---- Countries -------------------------------------------------------------------------- */

/* Code of the first row whose English name equals name, without regard to case; NULL when
 * none. The text is static. */
BRIO_API const char* CountryName2Abv(const char* name);
/* Name of the row with that two-letter code (any case); NULL when none. Static text. */
BRIO_API const char* CountryAbv2Name(const char* code);

/* ---- Services, privileges and shutdown -------------------------------------------------- */

/* This build does not control system services, privileges or shutdown: every function gives
 * its failure result and never stops, starts or shuts down anything. The error out argument
 * (may be NULL) receives ENOSYS. */
BRIO_API int SVCStartService(const char* machine, const char* service, int32_t* systemError);
BRIO_API int SVCStopService(const char* machine, const char* service, int32_t* systemError);
/* 1 running, 0 other states, 255 when the service cannot be opened or queried. */
BRIO_API int SVCIsServiceRunning(const char* machine, const char* service, int32_t* systemError);
BRIO_API int SetCurrentPrivilege(const char* privilege, int enable);
/* Non-zero when a shutdown was started. */
BRIO_API int ShutDownComputer(const char* machine);

/* ---- Other text functions --------------------------------------------------------------- */

/* Collects every e-mail address of the text (each "@" with the characters around it up to
 * white space or a control character) into a new KV_Alloc block, in text order, separated by
 * the separator (a line feed for NUL) while a line stays shorter than lineWidth (0: no limit),
 * else by a line feed. *blockSize (may be NULL) receives the block's size in bytes, a multiple
 * of 5120. Result 1 when an address was found (*block set, caller frees it with KV_Free); 0
 * otherwise (*block NULL). */
BRIO_API int ExtractEMail(const char* text, char** block, int32_t* blockSize, char separator,
                          int lineWidth);

/* Finds the last Canadian postal code (letter, digit, letter, digit, letter, digit, blanks and
 * dashes ignored) and writes it upper-cased as "A1A 1A1" (dest needs 8 bytes). 1 when found,
 * else 0 with an empty dest. */
BRIO_API int GetCAZipFromStr(const char* text, char* dest);

/* Reads the next telephone number: a run of digits, blanks, "(", ")" and "-" that holds a
 * digit, beginning at its first character other than a blank; trailing blanks are not copied.
 * Cursor and text as with MTGetBufferString. At most size - 1 characters go into the buffer
 * (NULL: the run is passed over); the rest of a longer run is passed over. *stop receives the
 * character after the run. Result: position of the run, NULL when there is none left. */
BRIO_API char* MTGetBufferPhoneString(char** cursor, const char* text, char* buffer, int16_t size,
                                      char* stop);

/* First occurrence of the NUL-terminated pattern within the first length bytes of data (which
 * may hold NUL bytes); NULL when none, for an empty pattern or NULL arguments. */
BRIO_API char* FindMatch(const char* data, const char* pattern, int length);

/* 1 when position lies inside a bracketed command: looking back from the character before
 * position down to begin, pair[0] (opening) comes before any pair[1] (closing); and looking at
 * most lookAhead characters from position on (negative: up to the NUL), pair[1] comes before
 * any pair[0]. 0 otherwise or for NULL arguments. */
BRIO_API int InsideCmd(const char* begin, const char* position, const char* pair, int lookAhead);
/* The same test; returns the opening character's position and stores the closing one in *end
 * (may be NULL); NULL when position is not inside a command. */
BRIO_API char* FindStartOfCmd(const char* begin, const char* position, const char* pair,
                              int lookAhead, char** end);

/* Builds a KV_Alloc block from the text with lineEnd (NULL: nothing) in place of each line end
 * (CR LF, CR or LF); with paragraph set, an empty line's end becomes CR LF CR LF. Lines of any
 * length are kept whole. When the option's first word is "CRLF", nothing is built (*block
 * NULL) and the result is 1. Result 1 when built, 0 for NULL text or block, or allocation
 * failure. */
BRIO_API int ReplaceAllInStr(const char* option, const char* text, const char* lineEnd,
                             char** block, int paragraph);

/* Replaces in place every character of the text that is in the set by c. Result: text; NULL
 * for a NULL text or a NULL or empty set. */
BRIO_API char* ReplaceAllCharInString(char* text, const char* set, char c);

/* Sum of the byte values of text1 minus that of text2 (NULL counts as empty), limited to the
 * range of int. */
BRIO_API int DiffString(const char* text1, const char* text2);

/* Removes in place every repeated copy of prefix at the start and of suffix at the end (NULL
 * or empty: nothing). Result: text. */
BRIO_API char* TrimString(char* text, const char* prefix, const char* suffix);

/* Position just after the last character that is neither CR nor LF; the start of the text
 * when it holds only CR and LF; NULL for NULL. */
BRIO_API char* SkipPendingCrLf(const char* text);

/* The text, trimmed of white space and control characters at both ends and cut to width - 1
 * characters, centred in a field of width - 1 characters padded with fill (the extra one on
 * the right). dest needs width bytes. Result: dest; NULL for NULL arguments or width < 1. */
BRIO_API char* CenterString(char* dest, char fill, const char* text, int width);

/* Reads a line typed on standard input into buffer following the mask: "9" a digit, "A" a
 * letter, "N" a letter or digit, "X" any printable character; any other mask character is
 * written by itself when the input reaches it. Characters that do not fit are ignored;
 * backspace (8) and delete (127) remove the last typed character and the literals after it;
 * CR, LF or the end of input finish. Without a mask (NULL or empty) any printable character is
 * taken. Result: length of the text (at most size - 1); -1 for a NULL buffer or size < 1. */
BRIO_API int GetFmtStr(char* buffer, const char* mask, int size);

BRIO_END_DECLS
