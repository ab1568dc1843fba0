/* Small file helpers: whole-file read and write, unique temporary names, folder clean-up and
 * size, a search up the folder tree, searching, patching and trimming open files, line and word
 * readers on open files, and path separator conversion.
 *
 * Paths are in the kept form (backslash separators, an optional drive that the system ignores);
 * the paths handed back are in the same form. Open files are the C run-time's descriptors; they
 * must be seekable. Blocks handed to the caller come from KV_Alloc and are released with
 * KV_Free. Every function may be called from any thread; two threads must not share one
 * descriptor. Results that are codes use BRIO_ERR_* of scan.h. */
#pragma once

#include "brio/brio_api.h"

BRIO_BEGIN_DECLS

/* Room for a path that the functions here hand back, NUL included: the longest path the system
 * takes. A longer path is refused, never cut. */
#define BRIO_PATH_SIZE 4096

/* Reads the whole file into a new KV_Alloc block with a NUL after the last byte (the file may
 * hold NUL bytes itself; *size counts every byte, size may be NULL). 1; 0 when the name is
 * NULL, is a folder or cannot be opened or read (then *block is NULL and *size 0). */
BRIO_API int AllocAndReadFile(const char* name, char** block, size_t* size);

/* Creates or truncates the file and writes length bytes. 1; 0 on any failure. */
BRIO_API int Write2File(const char* name, const void* data, size_t length);

/* Replaces the first "XXXXXX" of the template by six random digits and creates that file,
 * empty and private (0600), in one step that fails when the name exists; up to 25 names are
 * tried. dest (strlen(templ) + 1 bytes, may be templ itself) receives the name created.
 * Returns dest; NULL when the template has no "XXXXXX", its folder cannot take the file, or
 * every name tried existed. The caller owns and removes the file. */
BRIO_API char* KV_MkTemp(const char* templ, char* dest);

/* The system's folder for temporary files (TMPDIR when it names a folder, else /tmp), in the
 * kept form with a trailing backslash, "\tmp\" by default. dest holds BRIO_PATH_SIZE bytes.
 * 1; 0 for a NULL dest or a longer path. */
BRIO_API int GetTempDirectory(char* dest);

/* Deletes each file directly in the folder that is not read-only; subfolders (and links to
 * folders) stay. 1 when every such file is gone; 0 when the path is not a folder or a file
 * could not be deleted. */
BRIO_API int EmptyDirectory(const char* path);

/* Sum of the sizes of the files directly in the folder; -1 when the path is not a folder. */
BRIO_API int64_t GetDirectorySize(const char* path);

/* Looks for the file name in start (the current folder when NULL or empty; a relative start is
 * taken from the current folder) and then in each parent up to the root. 1 when found, with
 * the file's path in dest (BRIO_PATH_SIZE bytes, may be NULL); 0 otherwise. */
BRIO_API int FindFileToRoot(const char* name, const char* start, char* dest);

/* Searches the bytes of text from the descriptor's position on and moves the position to the
 * first match. 0 found; 4 not found (position unchanged); 3 NULL or empty text; 2 position not
 * readable or a read failed; 1 no memory. */
BRIO_API int FindStrInFile(int fd, const char* text);

/* Finds marker in the file and overwrites the bytes just after it with length bytes of data
 * (the file grows when they reach past its end). 0 placed; 4 marker not found; 3 bad argument;
 * 2 cannot open, read or write; 1 no memory. */
BRIO_API int PlaceAtInFile(const char* path, const char* marker, const void* data, size_t length);

/* Removes count bytes at the descriptor's position (fewer when the file ends sooner), moving
 * the rest down and shortening the file; the position stays. 0; 1 for a count of 0; 3 for a
 * negative count; 2 position not readable; 6 a read failed; 7 a write failed. */
BRIO_API int RemoveFromFile(int64_t count, int fd);

/* Reads the next line into buffer: the bytes before the next LF or NUL, which is passed over
 * (a CR before the LF stays). A longer line fills size - 1 bytes and the next call goes on
 * there; a line of exactly size - 1 bytes is taken with its end. 0; 6 at the end of the file or on
 * a read failure; 3 for a NULL buffer or a size below 2; 2 position not readable. */
BRIO_API int GetFileString(char* buffer, int size, int fd);

/* The word just before the descriptor's position: the bytes after the previous white space
 * (or the start of the file) up to the position, which stays. 0; 5 when the word does not fit
 * in size - 1 bytes (dest ""); 3 for a NULL dest or a size below 1; 2 position not readable;
 * 6 a read failed. */
BRIO_API int GetFilePreviousWord(char* dest, int size, int fd);

/* The widest line of the text file in columns, a tab moving to the next multiple of tabWidth
 * (1 when 0 or less); CR, LF and CR LF end lines. 0 when the file cannot be read. */
BRIO_API int QueryMaxFileStringLen(const char* path, int tabWidth);

/* Copy a path of at most size - 1 characters, NUL-terminated, turning backslashes into slashes
 * (SetUXFilePath; size 0 copies it whole) or slashes into backslashes (SetPCFilePath; size 0
 * or less writes nothing). 1 when a separator was turned; 0 otherwise or for NULL arguments. */
BRIO_API int SetUXFilePath(const char* src, char* dest, int size);
BRIO_API int SetPCFilePath(const char* src, char* dest, int size);

/* 1 when the folder matches an entry of the comma-separated list, without regard to case and
 * to a trailing backslash: an entry beginning with "*" matches the end of the folder ("*\CVS"),
 * another entry names base followed by the entry ("%s%s"; base may be NULL). Entries are
 * trimmed; empty ones match nothing. 0 otherwise or for a NULL folder or list. */
BRIO_API int ISExcludeDir(const char* dir, const char* excludeList, const char* base);

BRIO_END_DECLS
