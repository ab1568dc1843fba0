// An archive bound to one file, open either for storing or for loading.
//
// Two layers share the file: raw byte Read/Write, through which the command file is written
// and read as plain text, and the length-prefixed string form of serialised objects. Strings
// are bytes; no code-page conversion takes place. An archive belongs to one thread at a time.
#pragma once

#include "core/archive_exception.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace core {

class CArchive
{
public:
    enum Mode : unsigned
    {
        store = 0,
        load = 1
    };

    // Opens the file, given in the kept path form: storing creates or truncates it, loading
    // opens it for reading. Check IsOpen before use; nothing is thrown here.
    CArchive(std::string_view path, Mode mode);
    // Closes the file; a failure to flush is lost here, so storing callers call Close.
    ~CArchive();

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    // Loading refused the path because it names a FIFO, a device or a socket: reading one
    // could wait forever.
    bool IsNotRegular() const { return m_notRegular; }
    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }
    const std::string& GetFilePath() const { return m_path; }

    // Length of the underlying file in bytes; -1 when it is not open or cannot be measured.
    std::int64_t GetLength() const;

    // Raw bytes. Read returns the count read, short at the end of the file, 0 when the archive
    // is not open for loading. Write returns false when the archive is not open for storing or
    // the bytes could not be written.
    std::size_t Read(void* buffer, std::size_t count);
    bool Write(const void* buffer, std::size_t count);
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }

    // Flushes and closes; false when buffered bytes could not be written. Later calls are
    // no-ops that return true.
    bool Close();

    // Little-endian integers and length-prefixed strings: one byte of length below 0xFF;
    // else 0xFF and a 16-bit length below 0xFFFE; else 0xFF, 0xFFFF and a 32-bit length.
    // A 16-bit length of 0xFFFE announces wide characters, which this archive does not read
    // (badSchema). Storing on a loading archive throws readOnly, loading on a storing one
    // writeOnly; a write failure throws generic, a short read endOfFile.
    CArchive& operator<<(std::uint8_t value);
    CArchive& operator<<(std::uint16_t value);
    CArchive& operator<<(std::uint32_t value);
    CArchive& operator<<(std::string_view text);
    CArchive& operator>>(std::uint8_t& value);
    CArchive& operator>>(std::uint16_t& value);
    CArchive& operator>>(std::uint32_t& value);
    CArchive& operator>>(std::string& text);

private:
    struct FileCloser
    {
        void operator()(std::FILE* file) const;
    };

    void WriteOrThrow(const void* buffer, std::size_t count);
    void ReadOrThrow(void* buffer, std::size_t count);

    std::string m_path;
    Mode m_mode;
    std::unique_ptr<std::FILE, FileCloser> m_file;
    bool m_notRegular = false;
};

} // namespace core
