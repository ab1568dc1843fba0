#include "companions/Runel.h"

#include "os/file.h"
#include "os/path.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

std::string EnvFolder(const char* variable, const char* fallbackUnderHome)
{
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return {};
    }
    return std::string(home) + fallbackUnderHome;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// The value of name in the [General] section of an INI text; false when absent.
bool FindGeneralValue(std::string_view text, std::string_view name, std::string& value)
{
    bool inGeneral = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.front() == '[') {
            inGeneral = line == "[General]";
            continue;
        }
        const auto equal = line.find('=');
        if (inGeneral && equal != std::string_view::npos && Trim(line.substr(0, equal)) == name) {
            value = std::string(Trim(line.substr(equal + 1)));
            return true;
        }
    }
    return false;
}

bool ParseNumber(const std::string& text, std::uint32_t& number)
{
    if (text.empty() || text.size() > 10) {
        return false;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0xffffffffULL) {
        return false;
    }
    number = static_cast<std::uint32_t>(value);
    return true;
}

void SetDefaults(KVRegistryEntry* entries, int count)
{
    for (int i = 0; i < count; ++i) {
        entries[i].number = entries[i].numberDefault;
        entries[i].text = entries[i].textDefault;
    }
}

// True when a system data folder ($XDG_DATA_DIRS) already holds relative.
bool InstalledSystemWide(const std::string& relative)
{
    const char* value = std::getenv("XDG_DATA_DIRS");
    std::string_view dirs =
        value != nullptr && value[0] != '\0' ? value : "/usr/local/share:/usr/share";
    while (!dirs.empty()) {
        const auto cut = dirs.find(':');
        const std::string_view dir = dirs.substr(0, cut);
        dirs.remove_prefix(cut == std::string_view::npos ? dirs.size() : cut + 1);
        if (!dir.empty() && dir.front() == '/' &&
            os::Exists(std::string(dir) + "/" + relative)) {
            return true;
        }
    }
    return false;
}

bool WriteIfMissing(const std::string& data, const std::string& relative, const std::string& text)
{
    const std::string path = data + "/" + relative;
    if (InstalledSystemWide(relative) || os::Exists(path)) {
        return true;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error) {
        return false;
    }
    return os::WriteWholeFile(path, text.data(), text.size()) ==
           os::FileError::None;
}

} // namespace

std::string KorvelSettingsFolder()
{
    const std::string config = EnvFolder("XDG_CONFIG_HOME", "/.config");
    return config.empty() ? std::string() : config + "/Korvel";
}

int GetKorvelRegistry(const char* program, KVRegistryEntry* entries, int count)
{
    if (entries == nullptr || count <= 0) {
        return 0;
    }
    SetDefaults(entries, count);
    const std::string folder = KorvelSettingsFolder();
    if (program == nullptr || program[0] == '\0' || folder.empty() ||
        std::string_view(program).find('/') != std::string_view::npos) {
        return 0;
    }
    std::string text;
    if (os::ReadWholeFile(folder + "/" + program + ".conf", text) !=
        os::FileError::None) {
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        KVRegistryEntry& entry = entries[i];
        std::string value;
        if (entry.name == nullptr || !FindGeneralValue(text, entry.name, value)) {
            continue;
        }
        if (entry.type == KVREG_DWORD) {
            if (!ParseNumber(value, entry.number)) {
                entry.number = entry.numberDefault;
            }
        } else {
            entry.text = value;
        }
    }
    return 1;
}

int KVRegisterShellFileTypes(const char* extension, const char* mimeType, const char* typeName,
                             const char* programPath)
{
    if (extension == nullptr || extension[0] != '.' || mimeType == nullptr || typeName == nullptr ||
        programPath == nullptr || programPath[0] != '/') {
        return 0;
    }
    // Characters that the desktop entry's Exec key would need to escape are refused, and so
    // are those that would break the XML text.
    for (const std::string_view text : {std::string_view(programPath), std::string_view(mimeType),
                                        std::string_view(typeName), std::string_view(extension)}) {
        if (text.find_first_of("\"\\`$<>&\n\r%") != std::string_view::npos) {
            return 0;
        }
    }
    const std::string data = EnvFolder("XDG_DATA_HOME", "/.local/share");
    if (data.empty()) {
        return 0;
    }
    const std::string pattern = std::string("*") + extension;
    const std::string mime =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" +
        std::string(mimeType) +
        "\">\n"
        "    <comment>" +
        typeName +
        "</comment>\n"
        "    <glob pattern=\"" +
        pattern +
        "\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    const std::string desktop = "[Desktop Entry]\nType=Application\nName=Wendo\n"
                                "Comment=Batch editing of HTML and text files\n"
                                "Exec=\"" +
                                std::string(programPath) +
                                "\" %f\n"
                                "Icon=wendo\nTerminal=false\nCategories=Development;TextTools;\n"
                                "MimeType=" +
                                mimeType + ";\n";
    const bool mimeDone = WriteIfMissing(data, "mime/packages/wendo.xml", mime);
    const bool desktopDone = WriteIfMissing(data, "applications/wendo.desktop", desktop);
    return mimeDone && desktopDone ? 1 : 0;
}
