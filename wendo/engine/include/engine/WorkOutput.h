// The output work file of the parse process: a write-only file with one large buffer in
// front of it, so that commands may hand over text in pieces of any size without a system
// call per piece; or, for a file worked on in memory, a string the text is appended to.
// Owned by one parse process; used only on its worker thread.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace wendo {

class WorkOutput
{
public:
    WorkOutput() = default;
    WorkOutput(const WorkOutput&) = delete;
    WorkOutput& operator=(const WorkOutput&) = delete;
    // Flushes and closes; a failure is lost here, so callers Close first when it matters.
    ~WorkOutput();

    // Takes ownership of an open descriptor; any file held before is closed first.
    void Attach(int handle);
    // Appends to text (emptied first) instead of a file, until Close; text outlives that.
    void AttachMemory(std::string& text);
    bool IsOpen() const { return m_handle >= 0 || m_text != nullptr; }

    void Write(const char* data, std::size_t size);
    void Write(std::string_view text) { Write(text.data(), text.size()); }

    // Writes what is buffered and closes the file. False when any write to this file failed
    // since Attach (the file is then incomplete). Nothing when no file is open (true).
    bool Close();
    // A write to the current file failed; later writes are dropped.
    bool Failed() const { return m_failed; }

private:
    static constexpr std::size_t kCapacity = std::size_t{256} * 1024;
    bool Flush();

    int m_handle = -1;
    std::string* m_text = nullptr;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    bool m_failed = false;
};

} // namespace wendo
