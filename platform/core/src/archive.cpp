#include "core/archive.h"

#include "os/file.h"
#include "os/path.h"

#include <array>
#include <utility>

namespace core {

namespace {

// Longest run read at once while loading a string, so that a corrupt 32-bit length costs
// at most what the file really holds, never a huge allocation up front.
constexpr std::size_t kStringChunk = std::size_t{64} * 1024;

} // namespace

const char* CArchiveException::CauseText(Cause cause) noexcept
{
    switch (cause) {
    case none:
        return "no archive error";
    case generic:
        return "archive error";
    case readOnly:
        return "archive is open for loading";
    case endOfFile:
        return "unexpected end of archive";
    case writeOnly:
        return "archive is open for storing";
    case badIndex:
        return "bad index in archive";
    case badClass:
        return "bad class in archive";
    case badSchema:
        return "unexpected archive format";
    }
    return "unknown archive error";
}

void CArchive::FileCloser::operator()(std::FILE* file) const
{
    std::fclose(file);
}

CArchive::CArchive(std::string_view path, Mode mode) : m_path(path), m_mode(mode)
{
    const std::string native = os::ToNative(path);
    if (mode == store) {
        m_file.reset(std::fopen(native.c_str(), "wb"));
        return;
    }
    os::FileError error = os::FileError::None;
    const int fd = os::OpenFile(native, os::OpenMode::Read, &error);
    m_notRegular = error == os::FileError::NotRegular;
    if (fd >= 0) {
        m_file.reset(::fdopen(fd, "rb"));
        if (!m_file) {
            os::CloseFile(fd);
        }
    }
}

CArchive::~CArchive() = default;

std::int64_t CArchive::GetLength() const
{
    std::FILE* file = m_file.get();
    if (file == nullptr) {
        return -1;
    }
    if (IsStoring() && std::fflush(file) != 0) {
        return -1;
    }
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0) {
        return -1;
    }
    return end;
}

std::size_t CArchive::Read(void* buffer, std::size_t count)
{
    if (m_file == nullptr || !IsLoading() || buffer == nullptr || count == 0) {
        return 0;
    }
    return std::fread(buffer, 1, count, m_file.get());
}

bool CArchive::Write(const void* buffer, std::size_t count)
{
    if (m_file == nullptr || !IsStoring()) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    if (buffer == nullptr) {
        return false;
    }
    return std::fwrite(buffer, 1, count, m_file.get()) == count;
}

bool CArchive::Close()
{
    if (m_file == nullptr) {
        return true;
    }
    return std::fclose(m_file.release()) == 0;
}

void CArchive::WriteOrThrow(const void* buffer, std::size_t count)
{
    if (!IsStoring()) {
        throw CArchiveException(CArchiveException::readOnly);
    }
    if (!Write(buffer, count)) {
        throw CArchiveException(CArchiveException::generic);
    }
}

void CArchive::ReadOrThrow(void* buffer, std::size_t count)
{
    if (!IsLoading()) {
        throw CArchiveException(CArchiveException::writeOnly);
    }
    if (count != 0 && Read(buffer, count) != count) {
        throw CArchiveException(CArchiveException::endOfFile);
    }
}

CArchive& CArchive::operator<<(std::uint8_t value)
{
    WriteOrThrow(&value, 1);
    return *this;
}

CArchive& CArchive::operator<<(std::uint16_t value)
{
    const std::array<std::uint8_t, 2> bytes{static_cast<std::uint8_t>(value & 0xFFU),
                                            static_cast<std::uint8_t>(value >> 8U)};
    WriteOrThrow(bytes.data(), bytes.size());
    return *this;
}

CArchive& CArchive::operator<<(std::uint32_t value)
{
    std::array<std::uint8_t, 4> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>((value >> (8U * i)) & 0xFFU);
    }
    WriteOrThrow(bytes.data(), bytes.size());
    return *this;
}

CArchive& CArchive::operator<<(std::string_view text)
{
    const std::size_t length = text.size();
    if (length > 0xFFFFFFFFU) {
        throw CArchiveException(CArchiveException::generic);
    }
    if (length < 0xFFU) {
        *this << static_cast<std::uint8_t>(length);
    } else if (length < 0xFFFEU) {
        *this << static_cast<std::uint8_t>(0xFFU) << static_cast<std::uint16_t>(length);
    } else {
        *this << static_cast<std::uint8_t>(0xFFU) << static_cast<std::uint16_t>(0xFFFFU)
              << static_cast<std::uint32_t>(length);
    }
    WriteOrThrow(text.data(), length);
    return *this;
}

CArchive& CArchive::operator>>(std::uint8_t& value)
{
    ReadOrThrow(&value, 1);
    return *this;
}

CArchive& CArchive::operator>>(std::uint16_t& value)
{
    std::array<std::uint8_t, 2> bytes{};
    ReadOrThrow(bytes.data(), bytes.size());
    value = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8U));
    return *this;
}

CArchive& CArchive::operator>>(std::uint32_t& value)
{
    std::array<std::uint8_t, 4> bytes{};
    ReadOrThrow(bytes.data(), bytes.size());
    std::uint32_t result = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        result |= static_cast<std::uint32_t>(bytes[i]) << (8U * i);
    }
    value = result;
    return *this;
}

CArchive& CArchive::operator>>(std::string& text)
{
    std::uint8_t shortLength = 0;
    *this >> shortLength;
    std::uint32_t length = shortLength;
    if (shortLength == 0xFFU) {
        std::uint16_t wordLength = 0;
        *this >> wordLength;
        if (wordLength == 0xFFFEU) {
            throw CArchiveException(CArchiveException::badSchema);
        }
        length = wordLength;
        if (wordLength == 0xFFFFU) {
            *this >> length;
        }
    }
    std::string result;
    std::size_t remaining = length;
    while (remaining > 0) {
        const std::size_t chunk = remaining < kStringChunk ? remaining : kStringChunk;
        const std::size_t done = result.size();
        result.resize(done + chunk);
        ReadOrThrow(result.data() + done, chunk);
        remaining -= chunk;
    }
    text = std::move(result);
    return *this;
}

} // namespace core
