#include "os/path.h"

#include <cctype>

namespace os {

std::string ToNative(std::string_view path)
{
    if (path.size() >= 2 && path[1] == ':' &&
        std::isalpha(static_cast<unsigned char>(path[0])) != 0) {
        path.remove_prefix(2);
    }
    std::string out(path);
    for (char& c : out) {
        if (c == '\\') {
            c = '/';
        }
    }
    return out;
}

std::string FromNative(std::string_view path)
{
    std::string out(path);
    for (char& c : out) {
        if (c == '/') {
            c = '\\';
        }
    }
    return out;
}

} // namespace os
