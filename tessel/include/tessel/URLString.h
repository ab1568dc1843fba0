// CURLString: a local path or a web address, kept with forward slashes and split into its
// root (up to the last slash after the scheme) and file (after it).
//
// Every assignment parses the text: backslashes become slashes, blanks around it go, the
// scheme decides the type, and a text holding "www." without a scheme becomes an http
// address. Objects are plain values; one object belongs to one thread at a time.
#pragma once

#include "tessel/tessel_api.h"

#include <cstdint>
#include <string>

namespace core {
class CArchive;
}

class TESSEL_API CURLString
{
public:
    // Types of address.
    enum : std::int16_t
    {
        typeWeb = 0,    // http:// or https://, or a text holding www.
        typeFile = 2,   // file:// or ftp://
        typeGopher = 3, // gopher://
        typeLocal = 4,  // anything else: a local path
    };

    // Opens an address in the user's web browser; returns non-zero on success. The program
    // registers one at start-up (the library itself starts no processes).
    using BrowserLauncher = int (*)(const char* address);

    CURLString();
    explicit CURLString(const std::string& text);
    explicit CURLString(const unsigned char* text);
    explicit CURLString(const char* text);
    CURLString(const CURLString&) = default;
    CURLString(CURLString&&) noexcept = default;
    virtual ~CURLString();

    CURLString& operator=(const CURLString&) = default;
    CURLString& operator=(CURLString&&) noexcept = default;
    CURLString& operator=(const std::string& text);
    // A NULL text leaves the object as it is.
    CURLString& operator=(const char* text);

    // The path as parsed: forward slashes, trimmed, with "http://" added in front of a bare
    // www. address.
    const std::string& GetURLPath() const { return m_path; }

    // 1 when the path is not empty and is an address (not a local path).
    int IsValidURL();
    std::int16_t GetType();
    const std::string& GetURLRoot();
    const std::string& GetURLFile();
    int IsURLType(std::int16_t type);
    int IsSecureURL();

    // Stores or loads the fields in order (path, type, root, file, secure flag, parsed flag).
    // A loaded object is parsed again from its path, so it never carries parts that disagree
    // with it. Returns 1, or 0 when the archive could not be read or written (no exception
    // leaves the library).
    virtual int Serialize(core::CArchive& ar);

    // Hands the path (in the native form for a local path) to the registered browser
    // launcher. 0 when no launcher is registered or the path is empty.
    int Browse2Url();

    // Registers the launcher used by Browse2Url; NULL removes it. Safe from any thread.
    static void SetBrowserLauncher(BrowserLauncher launcher);

private:
    void Parse(const char* text);
    void Split();
    void EnsureParsed();

    std::string m_path;
    std::int16_t m_type = typeLocal;
    std::string m_root;
    std::string m_file;
    std::int32_t m_secure = 0;
    std::int32_t m_parsed = 0;
};
