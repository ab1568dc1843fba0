// Searching, patching and reading open files. A descriptor belongs to its caller; these
// functions move its position only as documented and never close it.

#include "brio/files.h"
#include "brio/scan.h"
#include "os/file.h"
#include "os/path.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr std::size_t kBlock = 32768;

} // namespace

extern "C" {

int FindStrInFile(int fd, const char* text)
{
    if (text == nullptr || *text == '\0') {
        return BRIO_ERR_BAD_ARG;
    }
    const std::int64_t start = os::SeekFile(fd, 0, os::SeekFrom::Current);
    if (start < 0) {
        return BRIO_ERR_ACCESS;
    }
    const std::size_t length = std::strlen(text);
    std::vector<char> buffer;
    try {
        // Each block keeps the last length - 1 bytes of the one before, so that a match across
        // a block boundary is found.
        buffer.resize(kBlock + length);
    } catch (const std::bad_alloc&) {
        return BRIO_ERR_ALLOC;
    }
    std::int64_t base = start; // file offset of buffer[0]
    std::size_t kept = 0;
    for (;;) {
        const std::int64_t n = os::ReadFile(fd, buffer.data() + kept, buffer.size() - kept);
        if (n < 0) {
            os::SeekFile(fd, start, os::SeekFrom::Start);
            return BRIO_ERR_ACCESS;
        }
        if (n == 0) {
            break;
        }
        const std::size_t avail = kept + static_cast<std::size_t>(n);
        const char* end = buffer.data() + avail;
        const char* hit =
            std::search(static_cast<const char*>(buffer.data()), end, text, text + length);
        if (hit != end) {
            const std::int64_t at = base + (hit - buffer.data());
            return os::SeekFile(fd, at, os::SeekFrom::Start) == at ? BRIO_NO_ERROR
                                                                   : BRIO_ERR_ACCESS;
        }
        const std::size_t keep = std::min(length - 1, avail);
        std::memmove(buffer.data(), end - keep, keep);
        base += static_cast<std::int64_t>(avail - keep);
        kept = keep;
    }
    os::SeekFile(fd, start, os::SeekFrom::Start);
    return BRIO_ERR_NOT_FOUND;
}

int PlaceAtInFile(const char* path, const char* marker, const void* data, size_t length)
{
    if (path == nullptr || marker == nullptr || *marker == '\0' ||
        (data == nullptr && length > 0)) {
        return BRIO_ERR_BAD_ARG;
    }
    os::FileHandle file(os::OpenFile(os::ToNative(path), os::OpenMode::ReadWrite));
    if (!file.valid()) {
        return BRIO_ERR_ACCESS;
    }
    const int found = FindStrInFile(file.get(), marker);
    if (found != BRIO_NO_ERROR) {
        return found;
    }
    const auto after = static_cast<std::int64_t>(std::strlen(marker));
    if (os::SeekFile(file.get(), after, os::SeekFrom::Current) < 0 ||
        (length > 0 && !os::WriteFile(file.get(), data, length))) {
        return BRIO_ERR_ACCESS;
    }
    return BRIO_NO_ERROR;
}

int RemoveFromFile(int64_t count, int fd)
{
    if (count == 0) {
        return 1;
    }
    if (count < 0) {
        return BRIO_ERR_BAD_ARG;
    }
    const std::int64_t pos = os::SeekFile(fd, 0, os::SeekFrom::Current);
    const std::int64_t size = pos < 0 ? -1 : os::SeekFile(fd, 0, os::SeekFrom::End);
    if (pos < 0 || size < 0) {
        return BRIO_ERR_ACCESS;
    }
    if (pos >= size) {
        os::SeekFile(fd, pos, os::SeekFrom::Start);
        return BRIO_NO_ERROR;
    }
    count = std::min(count, size - pos);
    std::vector<char> block;
    try {
        block.resize(kBlock);
    } catch (const std::bad_alloc&) {
        return BRIO_ERR_ALLOC;
    }
    int result = BRIO_NO_ERROR;
    for (std::int64_t from = pos + count, to = pos; from < size;) {
        std::int64_t n = -1;
        if (os::SeekFile(fd, from, os::SeekFrom::Start) == from) {
            n = os::ReadFile(fd, block.data(), block.size());
        }
        if (n <= 0) {
            result = BRIO_ERR_READ;
            break;
        }
        if (os::SeekFile(fd, to, os::SeekFrom::Start) != to ||
            !os::WriteFile(fd, block.data(), static_cast<std::size_t>(n))) {
            result = BRIO_ERR_WRITE;
            break;
        }
        from += n;
        to += n;
    }
    // Shorten only after every byte was moved, so a failure loses nothing beyond the gap.
    if (result == BRIO_NO_ERROR && !os::TruncateFile(fd, size - count)) {
        result = BRIO_ERR_WRITE;
    }
    os::SeekFile(fd, pos, os::SeekFrom::Start);
    return result;
}

int GetFileString(char* buffer, int size, int fd)
{
    if (buffer == nullptr || size < 2) {
        return BRIO_ERR_BAD_ARG;
    }
    buffer[0] = '\0';
    const std::int64_t lineStart = os::SeekFile(fd, 0, os::SeekFrom::Current);
    if (lineStart < 0) {
        return BRIO_ERR_ACCESS;
    }
    const auto room = static_cast<std::size_t>(size - 1);
    std::size_t filled = 0;
    char chunk[512];
    while (filled < room) {
        const std::int64_t n = os::ReadFile(fd, chunk, std::min(sizeof chunk, room - filled));
        if (n < 0) {
            os::SeekFile(fd, lineStart, os::SeekFrom::Start);
            buffer[0] = '\0';
            return BRIO_ERR_READ;
        }
        if (n == 0) {
            return filled == 0 ? BRIO_ERR_READ : BRIO_NO_ERROR;
        }
        const auto got = static_cast<std::size_t>(n);
        std::size_t i = 0;
        while (i < got && chunk[i] != '\n' && chunk[i] != '\0') {
            ++i;
        }
        std::memcpy(buffer + filled, chunk, i);
        filled += i;
        buffer[filled] = '\0';
        if (i < got) {
            // The line end is passed over; what was read beyond it is given back.
            const std::int64_t next = lineStart + static_cast<std::int64_t>(filled) + 1;
            return os::SeekFile(fd, next, os::SeekFrom::Start) == next ? BRIO_NO_ERROR
                                                                       : BRIO_ERR_ACCESS;
        }
    }
    // The buffer is full. A line that fitted exactly still has its end passed over, so that the
    // next call does not return it as an empty line.
    char next = 0;
    if (os::ReadFile(fd, &next, 1) == 1 && next != '\n' && next != '\0') {
        os::SeekFile(fd, -1, os::SeekFrom::Current);
    }
    return BRIO_NO_ERROR;
}

int GetFilePreviousWord(char* dest, int size, int fd)
{
    if (dest == nullptr || size < 1) {
        return BRIO_ERR_BAD_ARG;
    }
    dest[0] = '\0';
    const std::int64_t pos = os::SeekFile(fd, 0, os::SeekFrom::Current);
    if (pos < 0) {
        return BRIO_ERR_ACCESS;
    }
    // Only size bytes back need looking at: a longer word does not fit anyway.
    const std::int64_t span = std::min<std::int64_t>(pos, size);
    std::vector<char> back;
    try {
        back.resize(static_cast<std::size_t>(span));
    } catch (const std::bad_alloc&) {
        return BRIO_ERR_ALLOC;
    }
    std::int64_t got = 0;
    if (span > 0 && os::SeekFile(fd, pos - span, os::SeekFrom::Start) == pos - span) {
        while (got < span) {
            const std::int64_t n =
                os::ReadFile(fd, back.data() + got, static_cast<std::size_t>(span - got));
            if (n <= 0) {
                break;
            }
            got += n;
        }
    }
    os::SeekFile(fd, pos, os::SeekFrom::Start);
    if (got != span) {
        return BRIO_ERR_READ;
    }
    std::int64_t startOfWord = span;
    while (startOfWord > 0 && std::isspace(static_cast<unsigned char>(
                                  back[static_cast<std::size_t>(startOfWord - 1)])) == 0) {
        --startOfWord;
    }
    const std::int64_t length = span - startOfWord;
    // The word reaches back beyond what was read, or fills it: it does not fit in size - 1.
    if (length >= size || (startOfWord == 0 && span < pos)) {
        return BRIO_ERR_BUFFER_TOO_SMALL;
    }
    if (length > 0) {
        std::memcpy(dest, back.data() + startOfWord, static_cast<std::size_t>(length));
    }
    dest[length] = '\0';
    return BRIO_NO_ERROR;
}

} // extern "C"
