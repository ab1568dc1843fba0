// The window helper library's file list box filler: fills a list box with the name of every
// file that matches a path pattern. The list box is whatever the caller wraps in DraloListBox,
// so this library needs no widget toolkit.
//
// Threads: any thread; the list box is called on the caller's thread only.
#pragma once

#include <string_view>

// What KVFillFileListBox needs of a list box.
class DraloListBox
{
public:
    virtual ~DraloListBox() = default;
    // Removes every name.
    virtual void ResetContent() = 0;
    // Appends one file name (the name alone, without its folder).
    virtual void AddString(std::string_view name) = 0;
};

// Empties the box, then adds the name of every regular file (or link to one) that matches
// pattern: a folder, a backslash and a wildcard filter in the kept path form
// ("\home\me\site\*.htm"). Names come in name order without regard to case; folders and links
// to folders are never listed. The number of names added; 0 when the folder does not exist,
// cannot be read or holds no match, or when pattern is empty or too long.
int KVFillFileListBox(DraloListBox& box, std::string_view pattern);
