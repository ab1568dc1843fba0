// CKVString: a byte string with search, replace, field and number helpers.
//
// It derives publicly from std::string and adds no data, so a CKVString goes wherever a
// std::string is taken (by reference or by value) and every std::string member stays usable
// (the helpers use upper-camel names and never hide a standard member). Characters are
// bytes; case-insensitive operations fold ASCII letters only. Positions are 0-based; -1 means
// "not found". A NULL text argument is taken as the empty text.
#pragma once

#include "tessel/tessel_api.h"

#include <string>
#include <string_view>

class TESSEL_API CKVString : public std::string
{
public:
    CKVString() = default;
    CKVString(const std::string& text) : std::string(text) {}
    CKVString(std::string&& text) noexcept : std::string(std::move(text)) {}
    CKVString(std::string_view text) : std::string(text) {}
    // The character repeated count times (nothing for a count below 1).
    CKVString(char ch, int count);
    // The first count characters of text, fewer when text is shorter.
    CKVString(const char* text, int count);
    CKVString(const char* text);
    CKVString(const unsigned char* text);
    // Wide text is stored encoded as UTF-8.
    CKVString(const wchar_t* text);

    CKVString(const CKVString&) = default;
    CKVString(CKVString&&) noexcept = default;
    CKVString& operator=(const CKVString&) = default;
    CKVString& operator=(CKVString&&) noexcept = default;
    CKVString& operator=(const std::string& text);
    CKVString& operator=(std::string&& text) noexcept;
    CKVString& operator=(const char* text);
    CKVString& operator=(char ch);
    ~CKVString() = default;

    // The string's own NUL-terminated buffer; valid until the string changes.
    char* CString2PSZ() { return data(); }
    const char* CString2PSZ() const { return c_str(); }

    // Inserts at index; an index past the end first pads with blanks up to it. A negative
    // index inserts at the start. Returns the new length.
    int Insert(int index, const char* text);
    int Insert(int index, char ch);
    // Removes count characters from index, to the end when count is negative or too large;
    // nothing when index is at or past the end. Returns the new length.
    int Delete(int index, int count = 1);
    // Delete then Insert at index. Returns the new length.
    int Replace(int index, int count, const char* text);

    int Find(char ch, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int FindNoCase(char ch, int start = 0) const;
    int FindNoCase(const char* text, int start = 0) const;
    int ReverseFind(char ch) const;
    int ReverseFind(const char* text) const;
    int ReverseFindNoCase(char ch) const;
    int ReverseFindNoCase(const char* text) const;

    // Replaces the first (all == 0) or every occurrence of find; the search goes on after
    // each inserted replacement, so a replacement is never searched again. Returns the
    // number of replacements; 0 for an empty find text.
    int FindReplace(const char* find, const char* replacement, int all = 1);
    int FindReplaceNoCase(const char* find, const char* replacement, int all = 1);

    // Field index (0-based) of the string split at every separator; the last field runs to
    // the end. Empty for an index out of range.
    CKVString GetField(const char* separator, int index) const;
    CKVString GetField(char separator, int index) const;
    // Separator occurrences plus one (1 for an empty separator).
    int GetFieldCount(const char* separator) const;
    int GetFieldCount(char separator) const;
    // The text between the index-th opening delimiter and the next closing delimiter after
    // it; empty when either is missing.
    CKVString GetDelimitedField(const char* opening, const char* closing, int index) const;
    CKVString GetDelimitedField(char opening, char closing, int index) const;

    // Blanks around the number are allowed. A whole number is an optional sign and digits;
    // a decimal number is an optional sign, digits with at most one point (at least one
    // digit in all) and an optional exponent (e or E, optional sign, digits).
    bool IsInt() const;
    bool IsFloat() const;
    // Values as the C library reads them; out-of-range values are clamped to the type.
    int GetInt() const;
    long GetLong() const;
    float GetFloat() const;
    double GetDouble() const;

    // The value right-aligned in a field of width characters (wider when the digits need
    // it). Widths above 4096 are taken as 4096.
    CKVString& PutInt(int value, int width);
    CKVString& PutLong(long value, int width);
    // Fixed-point with as many decimals as fit the width; exponent notation (trailing
    // zeros of the mantissa removed) when the whole part does not fit or a non-zero value
    // would show as zero. A width below 1 gives the shortest "%g" form.
    CKVString& PutFloat(double value, int width);
};
