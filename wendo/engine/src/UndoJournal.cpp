// Writing and reading undo journals, and the undo itself.

#include "engine/UndoJournal.h"

#include "os/filelock.h"
#include "os/replace.h"
#include "os/state.h"

#include <filesystem>
#include <memory>
#include <nettle/sha2.h>
#include <string_view>

namespace wendo {

namespace {

constexpr std::string_view kHeader = "wendo-undo 1\n";
constexpr std::size_t kFields = 9;

std::string Hex(const unsigned char* bytes, std::size_t size)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 15];
    }
    return out;
}

std::string Sha256(std::string_view bytes)
{
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, bytes.size(), reinterpret_cast<const uint8_t*>(bytes.data()));
    unsigned char digest[SHA256_DIGEST_SIZE];
    sha256_digest(&context, SHA256_DIGEST_SIZE, digest);
    return Hex(digest, sizeof digest);
}

ContentId Identified(sha256_ctx& context, int64_t size)
{
    unsigned char digest[SHA256_DIGEST_SIZE];
    sha256_digest(&context, SHA256_DIGEST_SIZE, digest);
    ContentId id;
    id.size = size;
    id.sha256 = Hex(digest, sizeof digest);
    return id;
}

std::string Escape(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7f || c == '%') {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            out += '%';
            out += kDigits[b >> 4];
            out += kDigits[b & 15];
        } else {
            out += c;
        }
    }
    return out;
}

bool Unescape(std::string_view text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return false;
        }
        int value = 0;
        for (std::size_t k = 1; k <= 2; ++k) {
            const char c = text[i + k];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) {
                return false;
            }
            value = value * 16 + digit;
        }
        out += static_cast<char>(value);
        i += 2;
    }
    return true;
}

bool ReadNumber(std::string_view text, int64_t& value)
{
    if (text.empty() || text.size() > 18) {
        return false;
    }
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return true;
}

std::vector<std::string_view> Split(std::string_view line, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = line.find(separator, from);
        parts.push_back(line.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) {
            return parts;
        }
        from = at + 1;
    }
}

std::string CanonicalCommandFile(const std::string& commandFile)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(commandFile, error);
    if (error) {
        return commandFile;
    }
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path.lexically_normal().string() : canonical.string();
}

struct Journal
{
    int64_t time = 0;
    std::string commandFile;
    std::vector<JournalEntry> entries;
};

// Only complete lines count: a run killed while writing leaves at most one cut line.
bool ParseJournal(std::string_view data, Journal& journal)
{
    if (data.substr(0, kHeader.size()) != kHeader) {
        return false;
    }
    data.remove_prefix(kHeader.size());
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        if (end == std::string_view::npos) {
            break;
        }
        const std::vector<std::string_view> fields = Split(data.substr(0, end), '\t');
        data.remove_prefix(end + 1);
        if (fields.size() == 2 && fields[0] == "time") {
            ReadNumber(fields[1], journal.time);
        } else if (fields.size() == 2 && fields[0] == "command") {
            Unescape(fields[1], journal.commandFile);
        } else if (fields.size() == kFields && fields[0] == "file") {
            JournalEntry entry;
            if (Unescape(fields[1], entry.path) && Unescape(fields[2], entry.backup) &&
                ReadNumber(fields[3], entry.written.size) &&
                ReadNumber(fields[5], entry.backedUp.size)) {
                entry.written.sha256 = fields[4];
                entry.backedUp.sha256 = fields[6];
                entry.backupIsNew = fields[7] == "new";
                journal.entries.push_back(std::move(entry));
            }
        }
    }
    return true;
}

} // namespace

ContentId IdentifyFile(const std::string& path)
{
    os::FileHandle file(os::OpenFile(path, os::OpenMode::Read));
    if (!file.valid()) {
        return {};
    }
    sha256_ctx context;
    sha256_init(&context);
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    int64_t size = 0;
    for (;;) {
        const int64_t got = os::ReadFile(file.get(), buffer.get(), kChunk);
        if (got < 0) {
            return {};
        }
        if (got == 0) {
            break;
        }
        sha256_update(&context, static_cast<std::size_t>(got),
                      reinterpret_cast<const uint8_t*>(buffer.get()));
        size += got;
    }
    return Identified(context, size);
}

ContentId IdentifyBytes(std::string_view bytes)
{
    ContentId id;
    id.size = static_cast<int64_t>(bytes.size());
    id.sha256 = Sha256(bytes);
    return id;
}

std::string UserJournalFolder()
{
    return os::StateFolder("wendo");
}

std::string JournalPath(const std::string& folder, const std::string& commandFile)
{
    return folder + "/" + Sha256(CanonicalCommandFile(commandFile)).substr(0, 32) + ".undo";
}

bool HasJournal(const std::string& folder, const std::string& commandFile)
{
    return !folder.empty() && os::Exists(JournalPath(folder, commandFile));
}

void ForgetJournal(const std::string& folder, const std::string& commandFile)
{
    if (!folder.empty()) {
        os::RemoveFile(JournalPath(folder, commandFile));
    }
}

int JournalFileCount(const std::string& folder, const std::string& commandFile)
{
    if (folder.empty()) {
        return -1;
    }
    os::FileHandle held(os::OpenHeldForReading(JournalPath(folder, commandFile)));
    std::string data;
    Journal journal;
    if (!held.valid() ||
        os::ReadWholeFile(JournalPath(folder, commandFile), data) != os::FileError::None ||
        !ParseJournal(data, journal)) {
        return -1;
    }
    return static_cast<int>(journal.entries.size());
}

bool UndoJournal::Start(const std::string& folder, const std::string& commandFile, int64_t time)
{
    Close();
    if (folder.empty()) {
        return false;
    }
    m_path = JournalPath(folder, commandFile);
    m_file.reset(os::CreateHeldForWriting(m_path));
    const std::string head = std::string(kHeader) + "time\t" + std::to_string(time) +
                             "\ncommand\t" + Escape(CanonicalCommandFile(commandFile)) + "\n";
    if (!m_file.valid() || !os::WriteFile(m_file.get(), head.data(), head.size()) ||
        !os::FlushFileData(m_file.get())) {
        m_file.reset();
        os::RemoveFile(m_path);
        return false;
    }
    m_records = 0;
    return true;
}

bool UndoJournal::Record(const JournalEntry& entry)
{
    if (!m_file.valid()) {
        return false;
    }
    // One write per record: a kill can cut at most this line, which a reader then ignores.
    const std::string line = "file\t" + Escape(entry.path) + "\t" + Escape(entry.backup) + "\t" +
                             std::to_string(entry.written.size) + "\t" + entry.written.sha256 +
                             "\t" + std::to_string(entry.backedUp.size) + "\t" +
                             entry.backedUp.sha256 + "\t" + (entry.backupIsNew ? "new" : "kept") +
                             "\t.\n";
    if (!entry.written.Known() || !entry.backedUp.Known() ||
        !os::WriteFile(m_file.get(), line.data(), line.size()) ||
        !os::FlushFileData(m_file.get())) {
        m_file.reset();
        os::RemoveFile(m_path);
        return false;
    }
    ++m_records;
    return true;
}

void UndoJournal::Close()
{
    if (m_file.valid() && m_records == 0) {
        os::RemoveFile(m_path);
    }
    m_file.reset();
}

UndoResult UndoLastRun(const std::string& folder, const std::string& commandFile)
{
    UndoResult result;
    if (folder.empty()) {
        return result;
    }
    const std::string path = JournalPath(folder, commandFile);
    os::FileError error = os::FileError::None;
    os::FileHandle held(os::OpenHeldForReading(path, &error));
    if (!held.valid()) {
        result.state =
            error == os::FileError::Exists ? UndoResult::State::Busy : UndoResult::State::NoJournal;
        return result;
    }
    std::string data;
    Journal journal;
    if (os::ReadWholeFile(path, data) != os::FileError::None || !ParseJournal(data, journal) ||
        journal.commandFile != CanonicalCommandFile(commandFile) || journal.entries.empty()) {
        os::RemoveFile(path);
        return result;
    }
    result.state = UndoResult::State::Done;
    result.runTime = journal.time;
    for (auto entry = journal.entries.rbegin(); entry != journal.entries.rend(); ++entry) {
        const ContentId now = IdentifyFile(entry->path);
        const ContentId backup = IdentifyFile(entry->backup);
        if (now == entry->backedUp) {
            // Never replaced (the run ended before its rename, or the write-back failed).
            result.restored.push_back(entry->path);
        } else if (!now.Known()) {
            result.left.emplace_back(entry->path, "can not be read");
            continue;
        } else if (now != entry->written) {
            result.left.emplace_back(entry->path, "changed since the run");
            continue;
        } else if (backup != entry->backedUp) {
            result.left.emplace_back(entry->path, backup.Known() ? "backup changed since the run"
                                                                 : "backup is gone");
            continue;
        } else if (os::WriteBack(entry->path, entry->backup, {}) != os::WriteBackError::None) {
            result.left.emplace_back(entry->path, "can not be written");
            continue;
        } else {
            result.restored.push_back(entry->path);
        }
        if (entry->backupIsNew && backup == entry->backedUp) {
            os::RemoveFile(entry->backup);
        }
    }
    // Removed while still held, so that a run starting now cannot lose its new journal.
    os::RemoveFile(path);
    return result;
}

} // namespace wendo
