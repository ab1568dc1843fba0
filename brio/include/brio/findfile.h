/* Directory listing: FindFirst reads one directory with the status of each entry into memory,
 * sorts it and delivers the first item; FindNext delivers the others; FindEnd releases them.
 *
 * Paths are in the kept form (backslash separators, an optional drive); the directory is read
 * through the operating-system layer. All state lives in the caller's FindFile record, so
 * listings on different records may run on different threads at once. A record that FindFirst
 * has filled must be released with FindEnd before it is filled again or dropped. */
#pragma once

#include "brio/brio_api.h"

#include <sys/stat.h>

BRIO_BEGIN_DECLS

/* Kinds to list (FindFile.sTag), a set of bits. */
#define FINDFILE_DIRS 1     /* subdirectories (not matched against the filter) */
#define FINDFILE_FILES 2    /* regular files whose names match the filter */
#define FINDFILE_SCAN_ALL 4 /* read every name; without it a directory must match the filter */
/* The status of a listed item need tell only its type (st_mode is S_IFREG or S_IFDIR, the
 * rest is zero), so that a directory whose entries the file system types is read without a
 * status call per name. Orders by time or size read each status all the same: after a start,
 * the record's sTag keeps this bit only when the statuses hold the types alone. */
#define FINDFILE_TYPES_ONLY 8

/* Sort codes (FindFile.sSort): the low five bits choose the order, names without regard to
 * case; any other value of the low bits sorts by name ascending. */
#define FINDFILE_SORT_NAME 2
#define FINDFILE_SORT_R_NAME 3
#define FINDFILE_SORT_MODIF 4
#define FINDFILE_SORT_R_MODIF 5
#define FINDFILE_SORT_ACCESS 8
#define FINDFILE_SORT_R_ACCESS 9
#define FINDFILE_SORT_SIZE 16
#define FINDFILE_SORT_R_SIZE 17
#define FINDFILE_SORT_DIRS_FIRST 0x20  /* every directory before the first file */
#define FINDFILE_SORT_FILES_FIRST 0x40 /* every file before the first directory */

/* Counts of a listing are 32-bit: a directory may list this many items. */
#define FINDFILE_MAX_ITEMS 2147483647
/* Room for a path (a directory, or a path with its filter) and its NUL: the longest path the
 * system takes. */
#define FINDFILE_PATH_SIZE 4096

/* One listed item. The status is that of the entry, or of the target for a link to a file
 * (only its type with FINDFILE_TYPES_ONLY).
 * The name is the entry's name as the directory holds it, bytes (a name may hold a backslash,
 * which the kept path form cannot name; a caller that builds paths must leave such a name
 * out). */
typedef struct FindFileItem
{
    char szName[260];
    int32_t bDelivered;
    struct stat stStatus;
} FindFileItem;

typedef struct FindFile
{
    int16_t sTag;                       /* kinds to list */
    char szFilter[FINDFILE_PATH_SIZE];  /* input: path with filter; after a start: the filter */
    int16_t sSort;                      /* sort code; 0 is taken as FINDFILE_SORT_NAME */
    int32_t cScan;                      /* items delivered so far */
    int32_t sNbEntries;                 /* items listed */
    int32_t sNbFile;                    /* files listed */
    int32_t sNbDir;                     /* directories listed */
    char szDirPath[FINDFILE_PATH_SIZE]; /* the directory listed, kept form */
    char szFileName[256];               /* name of the item last delivered */
    struct stat stFile;                 /* status of the item last delivered */
    FindFileItem* pItems;               /* sNbEntries items in delivery order; freed by FindEnd */
    int32_t iError; /* after FindFirst gave 0: the errno of a directory that could not be read
                       (ENOENT when it is gone, ENAMETOOLONG for a path past the size); 0 when
                       the directory was read and nothing in it was to be listed */
} FindFile;

/* Lists the directory of path (its part before the last backslash; the current directory when
 * there is none) and keeps what the kinds ask for. Returns 1 with the first item delivered into
 * the record, or 0 when nothing is listed (no such directory, nothing matching, no memory, a
 * NULL argument, a path of FINDFILE_PATH_SIZE bytes or more); after 0 the record holds no
 * items and iError tells a directory that could not be read from one with nothing to list. */
BRIO_API int FindFirst(int16_t sort, int16_t kinds, const char* path, FindFile* find);
/* Delivers the next item into the record: 1, or 0 at the end (or for a NULL record). */
BRIO_API int FindNext(FindFile* find);
/* Releases the listed items; 1 (0 for a NULL record). Safe to call twice. */
BRIO_API int FindEnd(FindFile* find);
/* Prints the record to standard output for diagnosis; 1 (0 for a NULL record). */
BRIO_API int FindFilePrint(const FindFile* find);

BRIO_END_DECLS
