#include "tessel/URLString.h"

#include "core/archive.h"
#include "os/path.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string_view>

namespace {

std::atomic<CURLString::BrowserLauncher> g_launcher{nullptr};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Upper(text[i]) != Upper(prefix[i]))
            return false;
    }
    return true;
}

// Whether an address with "//" still reads as one: a host naming a www, ftp or gopher server
// needs a further dot-separated part, and the address must go on past the host or end in
// something after its last dot.
bool LooksLikeAddress(std::string_view path)
{
    std::size_t slashes = path.find("//");
    std::string_view after = path.substr(slashes + 2);
    std::string host(after.substr(0, after.find('/')));
    std::transform(host.begin(), host.end(), host.begin(), Upper);
    if (host.find("WWW.") != std::string::npos || host.find("FTP.") != std::string::npos ||
        host.find("GOPHER.") != std::string::npos) {
        std::size_t first = host.find('.');
        std::size_t second = host.find('.', first + 1);
        if (second == std::string::npos || second == first + 1 || second + 1 >= host.size())
            return false;
    }
    if (after.find('/') != std::string_view::npos)
        return true;
    std::size_t lastDot = after.rfind('.');
    return lastDot != std::string_view::npos && lastDot + 1 < after.size();
}

} // namespace

CURLString::CURLString() = default;

CURLString::CURLString(const std::string& text)
{
    Parse(text.c_str());
}

CURLString::CURLString(const unsigned char* text)
{
    Parse(reinterpret_cast<const char*>(text));
}

CURLString::CURLString(const char* text)
{
    Parse(text);
}

CURLString::~CURLString() = default;

CURLString& CURLString::operator=(const std::string& text)
{
    Parse(text.c_str());
    return *this;
}

CURLString& CURLString::operator=(const char* text)
{
    Parse(text);
    return *this;
}

void CURLString::Parse(const char* text)
{
    if (!text)
        return;
    // Paths are kept whole: cutting them at a fixed length would silently name another file.
    std::string path(text);
    std::replace(path.begin(), path.end(), '\\', '/');
    std::size_t b = 0, e = path.size();
    while (b < e && IsBlank(path[b]))
        ++b;
    while (e > b && IsBlank(path[e - 1]))
        --e;
    m_path = path.substr(b, e - b);
    m_type = typeLocal;
    m_secure = 0;
    m_root.clear();
    m_file.clear();
    m_parsed = 1;
    if (m_path.empty())
        return;
    Split();
}

void CURLString::Split()
{
    struct Scheme
    {
        const char* prefix;
        std::int16_t type;
        bool secure;
    };
    static constexpr Scheme kSchemes[] = {
        {"file://", typeFile, false},     {"http://", typeWeb, false}, {"https://", typeWeb, true},
        {"gopher://", typeGopher, false}, {"ftp://", typeFile, false},
    };
    std::size_t schemeLen = 0;
    for (const Scheme& s : kSchemes) {
        if (StartsNoCase(m_path, s.prefix)) {
            m_type = s.type;
            m_secure = s.secure ? 1 : 0;
            schemeLen = std::strlen(s.prefix);
            break;
        }
    }
    if (m_type == typeLocal && m_path.find("http:") == std::string::npos &&
        (m_path.find("www.") != std::string::npos || m_path.find("WWW.") != std::string::npos)) {
        m_path.insert(0, "http://");
        m_type = typeWeb;
        schemeLen = 7;
    }

    std::size_t slash = m_path.rfind('/');
    if (slash == std::string::npos || slash <= schemeLen) {
        m_root = m_path;
        m_file.clear();
    } else {
        m_root = m_path.substr(0, slash);
        m_file = m_path.substr(slash + 1);
    }

    if (m_path.find("//") != std::string::npos && !LooksLikeAddress(m_path)) {
        m_type = typeLocal;
        m_secure = 0;
    }
}

void CURLString::EnsureParsed()
{
    if (!m_parsed) {
        const std::string text = m_path;
        Parse(text.c_str());
    }
}

int CURLString::IsValidURL()
{
    EnsureParsed();
    return (!m_path.empty() && m_type != typeLocal) ? 1 : 0;
}

std::int16_t CURLString::GetType()
{
    EnsureParsed();
    return m_type;
}

const std::string& CURLString::GetURLRoot()
{
    EnsureParsed();
    return m_root;
}

const std::string& CURLString::GetURLFile()
{
    EnsureParsed();
    return m_file;
}

int CURLString::IsURLType(std::int16_t type)
{
    return GetType() == type ? 1 : 0;
}

int CURLString::IsSecureURL()
{
    EnsureParsed();
    return m_secure ? 1 : 0;
}

int CURLString::Serialize(core::CArchive& ar)
{
    try {
        if (ar.IsStoring()) {
            ar << std::string_view(m_path) << static_cast<std::uint16_t>(m_type)
               << std::string_view(m_root) << std::string_view(m_file)
               << static_cast<std::uint32_t>(m_secure) << static_cast<std::uint32_t>(m_parsed);
        } else {
            std::string path, root, file;
            std::uint16_t type = 0;
            std::uint32_t secure = 0, parsed = 0;
            ar >> path >> type >> root >> file >> secure >> parsed;
            Parse(path.c_str());
        }
    } catch (const std::exception&) {
        return 0;
    }
    return 1;
}

int CURLString::Browse2Url()
{
    EnsureParsed();
    BrowserLauncher launch = g_launcher.load(std::memory_order_acquire);
    if (!launch || m_path.empty())
        return 0;
    const std::string address = m_type == typeLocal ? os::ToNative(m_path) : m_path;
    return launch(address.c_str()) ? 1 : 0;
}

void CURLString::SetBrowserLauncher(BrowserLauncher launcher)
{
    g_launcher.store(launcher, std::memory_order_release);
}
