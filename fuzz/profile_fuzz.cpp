// The profile reader on any text: the first line of the input names the section and the key,
// the rest is the text. Every form of call (value, list, length) stays inside its buffer.
#include "brio/profile.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t eol = input.find('\n');
    const std::string head = input.substr(0, eol);
    const std::string text = eol == std::string::npos ? std::string() : input.substr(eol + 1);
    const std::size_t blank = head.find(' ');
    const std::string section = head.substr(0, blank);
    const std::string key = blank == std::string::npos ? std::string() : head.substr(blank + 1);
    for (const int size2 : {0, 1, 16, 255}) {
        std::vector<char> dest(static_cast<std::size_t>(size2) + 1 + 8, '\x55');
        KVGetPrivateProfileString(section.c_str(), key.c_str(), "def", dest.data(), size2,
                                  text.c_str());
        KVGetPrivateProfileString(section.c_str(), nullptr, nullptr, dest.data(), size2,
                                  text.c_str());
        KVGetPrivateProfileString(section.c_str(), "LIST", nullptr, dest.data(), size2,
                                  text.c_str());
        for (std::size_t i = static_cast<std::size_t>(size2) + 1; i < dest.size(); ++i) {
            if (dest[i] != '\x55') {
                __builtin_trap(); // written past size + 1
            }
        }
    }
    KVGetPrivateProfileString(section.c_str(), key.c_str(), nullptr, nullptr, 0, text.c_str());
    KVGetPrivateProfileString(section.c_str(), nullptr, nullptr, nullptr, 0, text.c_str());
    return 0;
}
