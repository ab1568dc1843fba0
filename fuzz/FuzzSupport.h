// Shared by the fuzz targets: a scratch file per process for the readers that take a path.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace fuzz {

// A path in TMPDIR (or /tmp) that belongs to this process; the name ends with suffix.
inline std::string ScratchPath(const char* suffix)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp";
    return dir + "/wendo-fuzz-" + std::to_string(::getpid()) + suffix;
}

inline bool WriteScratch(const std::string& path, const unsigned char* data, std::size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

} // namespace fuzz
