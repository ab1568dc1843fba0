/* Brio's public header used from plain C: a few calls whose results are checked. */
#include <brio/brio.h>
#include <stdio.h>
#include <string.h>

static int failures = 0;

static void check(int ok, const char* what)
{
    if (!ok) {
        fprintf(stderr, "c_api: %s failed\n", what);
        ++failures;
    }
}

int main(void)
{
    const char* text = "aab";
    char* after = NULL;
    const char* pair[2] = {"{{", "}}"};
    const char* keywords[3] = {"FINDREPL", "CHANGE_IMG", NULL};
    char* content = NULL;
    char* next = NULL;
    char word[16];
    char* cursor = NULL;
    int16_t value = 0;
    char msg[64];

    check(GetSubStringContent(text, "ab", &after, 0) == text + 1 && after == text + 3,
          "GetSubStringContent");
    check(GetDelimiterContent("x{{in}}y", pair, &content, &next, MATCH_IGNORE_CASE) != NULL &&
              content != NULL && strcmp(content, "in") == 0 && *next == 'y',
          "GetDelimiterContent");
    KV_Free(content);
    check(FindAction("CHANGE_IMG", keywords, 3) == 1, "FindAction");
    check(MTGetBufferWord(&cursor, "  FINDREPL x", word, NULL, 1) != NULL &&
              strcmp(word, "FINDREPL") == 0,
          "MTGetBufferWord");
    check(KVISStrFormat(" -12 ", "%sd", &value) == 1 && value == -12, "KVISStrFormat");
    check(ISExcludeFile("C:\\TEMP\\A.BAK", "*.bak") == 1, "ISExcludeFile");
    check(strcmp(BrioErrorCode2String(BRIO_ERR_NOT_FOUND, msg), "Brio ERROR: Not found.\n") == 0,
          "BrioErrorCode2String");
    return failures == 0 ? 0 : 1;
}
