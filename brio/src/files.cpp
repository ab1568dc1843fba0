// Whole-file helpers, temporary names and folders. Paths arrive in the kept form and go to the
// system through os::ToNative; paths handed back go through os::FromNative.

#include "brio/files.h"

#include "os/clock.h"
#include "os/dir.h"
#include "os/file.h"
#include "os/path.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <sys/stat.h>

namespace {

// Copies a path into a caller's BRIO_PATH_SIZE buffer; false when it does not fit.
bool CopyPath(char* dest, const std::string& path)
{
    if (path.size() >= BRIO_PATH_SIZE) {
        return false;
    }
    if (dest != nullptr) {
        std::memcpy(dest, path.c_str(), path.size() + 1);
    }
    return true;
}

std::string JoinNative(const std::string& dir, const std::string& name)
{
    return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

bool IsFolder(const std::string& native)
{
    os::FileStatus st;
    return os::GetStatus(native, st) == os::FileError::None && st.directory;
}

// Length of the root of a kept-form absolute path: "\", "c:\" or "\\host\share\".
std::size_t RootLength(const std::string& path)
{
    if (path.size() >= 2 && path[1] == ':') {
        return path.size() >= 3 && path[2] == '\\' ? 3 : 2;
    }
    if (path.rfind("\\\\", 0) == 0) {
        const std::size_t host = path.find('\\', 2);
        if (host == std::string::npos) {
            return path.size();
        }
        const std::size_t share = path.find('\\', host + 1);
        return share == std::string::npos ? path.size() : share + 1;
    }
    return !path.empty() && path[0] == '\\' ? 1 : 0;
}

std::uint32_t RandomSeed()
{
    try {
        std::random_device device;
        return device();
    } catch (...) {
        // No entropy source: the clock still varies between calls and processes.
        return static_cast<std::uint32_t>(os::MonotonicMilliseconds() ^ os::WallClockSeconds());
    }
}

} // namespace

extern "C" {

int AllocAndReadFile(const char* name, char** block, size_t* size)
{
    if (block != nullptr) {
        *block = nullptr;
    }
    if (size != nullptr) {
        *size = 0;
    }
    if (name == nullptr || block == nullptr) {
        return 0;
    }
    std::string data;
    if (os::ReadWholeFile(os::ToNative(name), data) != os::FileError::None) {
        return 0;
    }
    auto* out = static_cast<char*>(KV_Alloc(data.size() + 1));
    if (out == nullptr) {
        return 0;
    }
    std::memcpy(out, data.c_str(), data.size() + 1);
    *block = out;
    if (size != nullptr) {
        *size = data.size();
    }
    return 1;
}

int Write2File(const char* name, const void* data, size_t length)
{
    if (name == nullptr || (data == nullptr && length > 0)) {
        return 0;
    }
    return os::WriteWholeFile(os::ToNative(name), data, length) == os::FileError::None ? 1 : 0;
}

char* KV_MkTemp(const char* templ, char* dest)
{
    if (templ == nullptr || dest == nullptr) {
        return nullptr;
    }
    const std::string pattern(templ);
    const std::size_t x = pattern.find("XXXXXX");
    if (x == std::string::npos) {
        return nullptr;
    }
    // A generator of our own: the C run-time's rand() state is shared with the whole process.
    std::mt19937 generator(RandomSeed());
    std::uniform_int_distribution<int> digits(0, 999999);
    for (int attempt = 0; attempt < 25; ++attempt) {
        std::string name = pattern;
        const std::string number = std::to_string(digits(generator));
        name.replace(x, 6, std::string(6 - number.size(), '0') + number);
        const os::FileError err = os::CreateExclusive(os::ToNative(name));
        if (err == os::FileError::None) {
            std::memcpy(dest, name.c_str(), name.size() + 1);
            return dest;
        }
        if (err != os::FileError::Exists) {
            return nullptr;
        }
    }
    return nullptr;
}

int GetTempDirectory(char* dest)
{
    if (dest == nullptr) {
        return 0;
    }
    return CopyPath(dest, os::FromNative(os::TempDirectory())) ? 1 : 0;
}

int EmptyDirectory(const char* path)
{
    if (path == nullptr) {
        return 0;
    }
    const std::string native = os::ToNative(path);
    if (!IsFolder(native)) {
        return 0;
    }
    os::DirectoryReader reader(native);
    if (!reader.IsOpen()) {
        return 0;
    }
    int result = 1;
    std::string name;
    while (reader.Next(name)) {
        struct stat st
        {
        };
        const os::EntryKind kind = reader.Status(name, st);
        if (kind == os::EntryKind::Directory || kind == os::EntryKind::LinkToDirectory) {
            continue;
        }
        if (kind != os::EntryKind::Missing && (st.st_mode & S_IWUSR) == 0) {
            continue; // read-only
        }
        const os::FileError err = os::RemoveFile(JoinNative(native, name));
        if (err != os::FileError::None && err != os::FileError::NotFound) {
            result = 0;
        }
    }
    return reader.Error() == 0 ? result : 0;
}

int64_t GetDirectorySize(const char* path)
{
    if (path == nullptr) {
        return -1;
    }
    const std::string native = os::ToNative(path);
    if (!IsFolder(native)) {
        return -1;
    }
    os::DirectoryReader reader(native);
    if (!reader.IsOpen()) {
        return -1;
    }
    int64_t total = 0;
    std::string name;
    while (reader.Next(name)) {
        struct stat st
        {
        };
        if (reader.Status(name, st) == os::EntryKind::File) {
            total += static_cast<int64_t>(st.st_size);
        }
    }
    return total;
}

int FindFileToRoot(const char* name, const char* start, char* dest)
{
    if (name == nullptr || *name == '\0') {
        return 0;
    }
    std::string dir = start != nullptr ? start : "";
    // A drive-relative start ("c:site") is relative to the current folder: drives mean nothing
    // to this system.
    if (dir.size() >= 2 && dir[1] == ':' && (dir.size() == 2 || dir[2] != '\\')) {
        dir.erase(0, 2);
    }
    if (RootLength(dir) == 0) {
        const std::string cwd = os::FromNative(os::WorkingDirectory());
        if (cwd.empty()) {
            return 0;
        }
        dir = dir.empty() ? cwd : cwd + "\\" + dir;
    }
    const std::size_t root = RootLength(dir);
    for (;;) {
        while (dir.size() > root && dir.back() == '\\') {
            dir.pop_back();
        }
        const std::string candidate =
            !dir.empty() && dir.back() == '\\' ? dir + name : dir + "\\" + name;
        os::FileStatus st;
        if (os::GetStatus(os::ToNative(candidate), st) == os::FileError::None && !st.directory) {
            return CopyPath(dest, candidate) ? 1 : 0;
        }
        if (dir.size() <= root) {
            return 0;
        }
        const std::size_t slash = dir.rfind('\\');
        dir.resize(slash == std::string::npos ? root : std::max(slash, root));
    }
}

int QueryMaxFileStringLen(const char* path, int tabWidth)
{
    if (path == nullptr) {
        return 0;
    }
    os::FileHandle file(os::OpenFile(os::ToNative(path), os::OpenMode::Read));
    if (!file.valid()) {
        return 0;
    }
    const long long tab = tabWidth > 0 ? tabWidth : 1;
    long long widest = 0;
    long long column = 0;
    char block[32768];
    for (;;) {
        const std::int64_t n = os::ReadFile(file.get(), block, sizeof block);
        if (n < 0) {
            return 0;
        }
        if (n == 0) {
            break;
        }
        for (std::int64_t i = 0; i < n; ++i) {
            const char c = block[i];
            if (c == '\r' || c == '\n') {
                widest = std::max(widest, column);
                column = 0;
            } else if (c == '\t') {
                column = (column / tab + 1) * tab;
            } else {
                ++column;
            }
        }
    }
    widest = std::max(widest, column);
    return static_cast<int>(std::min<long long>(widest, 0x7fffffff));
}

} // extern "C"
