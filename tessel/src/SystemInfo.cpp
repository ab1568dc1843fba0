#include "SystemInfo.h"

#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace tessel_sys {

KernelInfo ReadKernel()
{
    KernelInfo info;
    struct utsname u
    {
    };
    if (uname(&u) == 0) {
        info.name = u.sysname;
        info.release = u.release;
        info.valid = true;
    }
    return info;
}

std::string ProgramPath()
{
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return {};
        if (static_cast<std::size_t>(n) < buf.size())
            return std::string(buf.data(), static_cast<std::size_t>(n));
        if (buf.size() >= (std::size_t{1} << 20))
            return {};
        buf.resize(buf.size() * 2);
    }
}

} // namespace tessel_sys
