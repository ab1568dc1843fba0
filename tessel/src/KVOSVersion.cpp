#include "tessel/KVOSVersion.h"

#include "SystemInfo.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Leading digits of text from pos, clamped to a sane range; pos moves past them.
int ReadPart(const std::string& text, std::size_t& pos)
{
    long v = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (v < 100000)
            v = v * 10 + (text[pos] - '0');
        ++pos;
    }
    return static_cast<int>(v);
}

} // namespace

CKVOSVersion::CKVOSVersion()
{
    const tessel_sys::KernelInfo k = tessel_sys::ReadKernel();
    if (!k.valid)
        return;
    m_name = k.name;
    m_release = k.release;
    std::size_t pos = 0;
    m_major = ReadPart(m_release, pos);
    if (pos < m_release.size() && m_release[pos] == '.') {
        ++pos;
        m_minor = ReadPart(m_release, pos);
    }
}

void CKVOSVersion::GetVersion(std::string& text) const
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%d", m_major, m_minor);
    text = buf;
}

double CKVOSVersion::GetVersion() const
{
    std::string text;
    GetVersion(text);
    return std::strtod(text.c_str(), nullptr);
}
