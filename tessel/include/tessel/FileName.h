// CFileName: one file name, path, wildcard pattern or network path, split once when it is set
// into host, drive, directory, title and extension.
//
// The name is kept in its original form: forward slashes become backslashes, a drive letter
// and a host stay as written. The name is never cut: a path longer than kMaxPath is kept whole
// and refused where it would meet the system. Names are bytes. Only
// Exist touches the file system (through the operating-system layer, which converts the
// name to the native form). An object belongs to one thread at a time.
#pragma once

#include "core/object.h"
#include "tessel/tessel_api.h"

#include <string>
#include <string_view>

namespace core {
class CArchive;
}

class TESSEL_API CFileName : public core::CObject
{
public:
    // Measures text in the font of the place where a path is shown; the user interface passes
    // one backed by its widget's font. Widths are in the units of the width given to
    // Path2Rect.
    class TESSEL_API TextMeasure
    {
    public:
        virtual ~TextMeasure();
        virtual int TextWidth(std::string_view text) const = 0;
    };

    // Answers the type name of a file for GetDescription (the user interface answers from the
    // MIME database). An empty answer falls back to the built-in table.
    class TESSEL_API DescriptionProvider
    {
    public:
        virtual ~DescriptionProvider();
        virtual std::string Describe(const std::string& fullPath) const = 0;
    };

    // The longest path, in bytes, that the system takes. Longer names are kept whole; IsTooLong
    // tells them, and whoever would hand one to the system refuses it with a message.
    static constexpr std::size_t kMaxPath = 4095;

    CFileName() = default;
    CFileName(const char* name);
    CFileName(const std::string& name);
    // Wide text (UTF-16) is stored encoded as UTF-8.
    CFileName(const char16_t* name);
    CFileName(const CFileName&) = default;
    CFileName& operator=(const CFileName&) = default;
    ~CFileName() override;

    CFileName& operator=(const std::string& name);
    CFileName& operator=(const char* name);
    CFileName& operator=(const unsigned char* name);

    // Sets the name and splits it into its parts. A NULL text counts as empty.
    void SetFileName(std::string_view name);

    // Copies at most size - 1 characters of text into buffer, NUL-terminated, with every
    // forward slash turned into a backslash. Returns 1 when it turned any; 0 otherwise and
    // when there is no buffer to write to.
    static int SetFileSlash(std::string_view text, char* buffer, short size);

    const std::string& GetFileFullPath() const { return m_fullPath; }
    std::string GetFilePath() const { return m_path; }
    std::string GetFileName() const { return m_fileName; }
    std::string GetFileTitle() const { return m_title; }
    // The extension with its dot, inside the object; valid until the name changes.
    const char* GetExtension() const { return m_extension.c_str(); }
    std::string GetRoot() const { return m_root; }
    std::string GetHost() const { return m_host; }
    std::string GetHostRoot() const { return m_host + m_root; }

    int IsEmpty() const { return m_fullPath.empty() ? 1 : 0; }
    // 1 when the full path is longer than the system takes (kMaxPath).
    int IsTooLong() const { return m_fullPath.size() > kMaxPath ? 1 : 0; }
    int ISLocalHost() const { return m_host.empty() ? 1 : 0; }
    // A pattern to apply in any directory: no host and no root, or a path beginning with "*".
    int ISFileFilter() const;
    // A directory followed by a wildcard name, such as C:\site\*.htm.
    int ISDirectoryFilter() const;
    // Compares without regard to case; "htm" and ".HTM" both match a.htm.
    int ISExtension(const char* ext) const;

    // The file type's name for people: from the registered provider, else from a small table
    // of common extensions.
    std::string GetDescription() const;
    // Registers the provider for every CFileName (NULL removes it). The provider must outlive
    // its registration; it may be called from any thread.
    static void SetDescriptionProvider(const DescriptionProvider* provider);

    // 1 when the full path names an existing entry; a trailing backslash is ignored, so a
    // directory counts either way. Wildcards in the file name match any entry of the directory.
    int Exist() const;

    // The host, root and file name shortened to be narrower than width by replacing the
    // directories at the end of the root with "\...\"; the full path without a measure.
    std::string Path2Rect(const TextMeasure* measure, int width) const;

    // Stores the full path; loading sets the name from it. Throws core::CArchiveException
    // when the archive cannot be read or written.
    void Serialize(core::CArchive& ar) override;

    const core::CRuntimeClass* GetRuntimeClass() const override;
    static const core::CRuntimeClass classCFileName;

private:
    std::string m_fullPath;
    std::string m_path;
    std::string m_fileName;
    std::string m_root;
    std::string m_drive;
    std::string m_directory;
    std::string m_title;
    std::string m_extension;
    std::string m_host;
};
