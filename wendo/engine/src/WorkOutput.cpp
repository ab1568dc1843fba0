#include "engine/WorkOutput.h"

#include "os/file.h"

#include <cstring>
#include <new>
#include <utility>

namespace wendo {

WorkOutput::~WorkOutput()
{
    Close();
}

void WorkOutput::Attach(int handle)
{
    Close();
    m_handle = handle;
    m_used = 0;
    m_failed = false;
    if (!m_buffer) {
        m_buffer = std::make_unique<char[]>(kCapacity);
    }
}

void WorkOutput::AttachMemory(std::string& text)
{
    Close();
    text.clear();
    m_text = &text;
    m_failed = false;
}

bool WorkOutput::Flush()
{
    if (m_used > 0 && !m_failed && !os::WriteFile(m_handle, m_buffer.get(), m_used)) {
        m_failed = true;
    }
    m_used = 0;
    return !m_failed;
}

void WorkOutput::Write(const char* data, std::size_t size)
{
    if (m_text != nullptr) {
        if (!m_failed && size > 0) {
            try {
                m_text->append(data, size);
            } catch (const std::bad_alloc&) {
                m_failed = true;
            }
        }
        return;
    }
    if (m_handle < 0 || m_failed || size == 0) {
        m_failed = m_failed || (m_handle < 0 && size > 0);
        return;
    }
    if (m_used + size <= kCapacity) {
        std::memcpy(m_buffer.get() + m_used, data, size);
        m_used += size;
        return;
    }
    if (!Flush()) {
        return;
    }
    // A piece at least as large as the buffer goes straight to the file.
    if (size >= kCapacity) {
        if (!os::WriteFile(m_handle, data, size)) {
            m_failed = true;
        }
        return;
    }
    std::memcpy(m_buffer.get(), data, size);
    m_used = size;
}

bool WorkOutput::Close()
{
    if (m_text != nullptr) {
        m_text = nullptr;
        return !std::exchange(m_failed, false);
    }
    if (m_handle < 0) {
        return true;
    }
    Flush();
    if (!os::CloseFile(m_handle)) {
        m_failed = true;
    }
    m_handle = -1;
    const bool ok = !m_failed;
    m_failed = false;
    return ok;
}

} // namespace wendo
