#include "tessel/FileName.h"

#include "core/archive.h"
#include "os/dir.h"
#include "os/names.h"
#include "os/path.h"

#include <algorithm>
#include <atomic>
#include <cstring>

static_assert(CFileName::kMaxPath == os::kMaxPathBytes, "one limit for every path");

namespace {

std::atomic<const CFileName::DescriptionProvider*> g_descriptionProvider{nullptr};

std::unique_ptr<core::CObject> CreateFileName()
{
    return std::make_unique<CFileName>();
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Unpaired surrogates become U+FFFD rather than invalid bytes.
std::string FromUtf16(const char16_t* text)
{
    std::string out;
    if (text == nullptr) {
        return out;
    }
    for (const char16_t* p = text; *p != 0; ++p) {
        char32_t cp = *p;
        if (cp >= 0xD800 && cp <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

struct KnownType
{
    const char* ext;
    const char* description;
};

constexpr KnownType kKnownTypes[] = {
    {"HTM", "HTML Document"},    {"HTML", "HTML Document"},     {"SHTML", "HTML Document"},
    {"XHTML", "XHTML Document"}, {"ASP", "Active Server Page"}, {"PHP", "PHP Script"},
    {"TXT", "Text Document"},    {"LOG", "Text Document"},      {"CSS", "Cascading Style Sheet"},
    {"JS", "JavaScript File"},   {"XML", "XML Document"},       {"GIF", "GIF Image"},
    {"JPG", "JPEG Image"},       {"JPEG", "JPEG Image"},        {"PNG", "PNG Image"},
    {"SVG", "SVG Image"},        {"WDO", "Wendo Command File"}, {"BAK", "Backup File"},
};

} // namespace

CFileName::TextMeasure::~TextMeasure() = default;
CFileName::DescriptionProvider::~DescriptionProvider() = default;

const core::CRuntimeClass CFileName::classCFileName{"CFileName", &core::CObject::classCObject,
                                                    &CreateFileName};

const core::CRuntimeClass* CFileName::GetRuntimeClass() const
{
    return &classCFileName;
}

CFileName::CFileName(const char* name)
{
    SetFileName(name == nullptr ? "" : name);
}

CFileName::CFileName(const std::string& name)
{
    SetFileName(name);
}

CFileName::CFileName(const char16_t* name)
{
    SetFileName(FromUtf16(name));
}

CFileName::~CFileName() = default;

CFileName& CFileName::operator=(const std::string& name)
{
    SetFileName(name);
    return *this;
}

CFileName& CFileName::operator=(const char* name)
{
    SetFileName(name == nullptr ? "" : name);
    return *this;
}

CFileName& CFileName::operator=(const unsigned char* name)
{
    return *this = reinterpret_cast<const char*>(name);
}

int CFileName::SetFileSlash(std::string_view text, char* buffer, short size)
{
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    int turned = 0;
    for (std::size_t i = 0; i < n; ++i) {
        char c = text[i];
        if (c == '/') {
            c = '\\';
            turned = 1;
        }
        buffer[i] = c;
    }
    buffer[n] = '\0';
    return turned;
}

void CFileName::SetFileName(std::string_view name)
{
    // Kept whole, however long: a cut name would name another file (index.html cut to
    // index.htm). A NUL inside the name ends it, as it would for every system call made with
    // it.
    name = name.substr(0, name.find('\0'));
    m_fullPath.assign(name);
    std::replace(m_fullPath.begin(), m_fullPath.end(), '/', '\\');
    m_path = m_fullPath;
    m_host.clear();

    const std::size_t twin = m_fullPath.find("\\\\");
    if (twin != std::string::npos) {
        const std::size_t next = m_fullPath.find('\\', twin + 2);
        if (next == std::string::npos) {
            m_host = m_fullPath.substr(twin);
            m_path.clear();
        } else {
            m_host = m_fullPath.substr(twin, next - twin);
            m_path = m_fullPath.substr(next);
        }
    }

    const os::NameParts parts = os::SplitName(m_path);
    m_drive = parts.drive;
    m_directory = parts.directory;
    m_title = parts.title;
    m_extension = parts.extension;
    m_fileName = m_title + m_extension;
    m_root = m_drive + m_directory;
}

int CFileName::ISFileFilter() const
{
    return ((m_host.empty() && m_root.empty()) || (!m_path.empty() && m_path.front() == '*')) ? 1
                                                                                              : 0;
}

int CFileName::ISDirectoryFilter() const
{
    return (!m_root.empty() && m_fileName.find('*') != std::string::npos &&
            (m_path.empty() || m_path.front() != '*'))
               ? 1
               : 0;
}

int CFileName::ISExtension(const char* ext) const
{
    if (ext == nullptr) {
        return 0;
    }
    std::string_view mine(m_extension);
    if (ext[0] != '.' && !mine.empty()) {
        mine.remove_prefix(1);
    }
    return os::EqualNoCase(mine, ext) ? 1 : 0;
}

void CFileName::SetDescriptionProvider(const DescriptionProvider* provider)
{
    g_descriptionProvider.store(provider, std::memory_order_release);
}

std::string CFileName::GetDescription() const
{
    if (const DescriptionProvider* provider =
            g_descriptionProvider.load(std::memory_order_acquire)) {
        std::string answer = provider->Describe(m_fullPath);
        if (!answer.empty()) {
            return answer;
        }
    }
    if (m_extension.size() <= 1) {
        return "File";
    }
    std::string ext = m_extension.substr(1);
    for (char& c : ext) {
        c = os::UpperAscii(c);
    }
    for (const KnownType& known : kKnownTypes) {
        if (ext == known.ext) {
            return known.description;
        }
    }
    return ext + " File";
}

int CFileName::Exist() const
{
    std::string path = m_fullPath;
    if (path.empty()) {
        return 0;
    }
    if (path.back() == '\\') {
        path.pop_back();
    }
    std::string native = os::ToNative(path);
    if (native.empty()) {
        native = "/";
    }
    const std::size_t slash = native.rfind('/');
    const std::string_view name = slash == std::string::npos
                                      ? std::string_view(native)
                                      : std::string_view(native).substr(slash + 1);
    if (name.find_first_of("*?") == std::string_view::npos) {
        return os::EntryExists(native) ? 1 : 0;
    }
    std::string dir;
    if (slash != std::string::npos) {
        dir = slash == 0 ? std::string("/") : native.substr(0, slash);
    }
    os::DirectoryReader reader(dir);
    std::string entry;
    while (reader.Next(entry)) {
        if (os::SearchMatches(name, entry)) {
            return 1;
        }
    }
    return 0;
}

std::string CFileName::Path2Rect(const TextMeasure* measure, int width) const
{
    if (measure == nullptr) {
        return m_fullPath;
    }
    std::string root = m_host + m_root;
    std::string text = root + m_fileName;
    while (measure->TextWidth(text) >= width) {
        const std::size_t slash = root.rfind('\\');
        if (slash == std::string::npos) {
            break;
        }
        root.erase(slash);
        text = root + "\\...\\" + m_fileName;
    }
    return text;
}

void CFileName::Serialize(core::CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << std::string_view(m_fullPath);
    } else {
        std::string name;
        ar >> name;
        SetFileName(name);
    }
}
