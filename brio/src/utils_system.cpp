// Service and shutdown control, and masked keyboard input.
//
// Service control, privileges and shutdown belong to the family's Windows platform. This build
// deliberately has no equivalent: a library function that can stop services or power a machine
// off is too dangerous to approximate, so each reports its documented failure and does nothing.

#include "brio/utils.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

void storeUnsupported(int32_t* systemError)
{
    if (systemError != nullptr)
        *systemError = ENOSYS;
}

bool fitsMask(char mask, int c)
{
    switch (mask) {
    case '9':
        return std::isdigit(c) != 0;
    case 'A':
        return std::isalpha(c) != 0;
    case 'N':
        return std::isalnum(c) != 0;
    default: // 'X'
        return std::isprint(c) != 0;
    }
}

bool isMaskSlot(char mask)
{
    return mask == '9' || mask == 'A' || mask == 'N' || mask == 'X';
}

} // namespace

extern "C" {

int SVCStartService(const char* /*machine*/, const char* /*service*/, int32_t* systemError)
{
    storeUnsupported(systemError);
    return -1;
}

int SVCStopService(const char* /*machine*/, const char* /*service*/, int32_t* systemError)
{
    storeUnsupported(systemError);
    return -1;
}

int SVCIsServiceRunning(const char* /*machine*/, const char* /*service*/, int32_t* systemError)
{
    storeUnsupported(systemError);
    return 255;
}

int SetCurrentPrivilege(const char* /*privilege*/, int /*enable*/)
{
    return 0;
}

int ShutDownComputer(const char* /*machine*/)
{
    return 0;
}

// Reads standard input through the C library; not for concurrent use with other readers of
// standard input.
int GetFmtStr(char* buffer, const char* mask, int size)
{
    if (buffer == nullptr || size < 1)
        return -1;
    const bool masked = mask != nullptr && *mask != '\0';
    const size_t maskLength = masked ? std::strlen(mask) : 0;
    int length = 0;
    auto capacity = static_cast<size_t>(size - 1);
    if (masked && maskLength < capacity)
        capacity = maskLength;
    auto fillLiterals = [&] {
        while (masked && static_cast<size_t>(length) < capacity && !isMaskSlot(mask[length])) {
            buffer[length] = mask[length];
            ++length;
        }
    };
    fillLiterals();
    for (;;) {
        int c = std::getchar();
        if (c == EOF || c == '\n' || c == '\r')
            break;
        if (c == 8 || c == 127) {
            // Remove the last typed character together with the literals written after it.
            int k = length;
            while (k > 0 && masked && !isMaskSlot(mask[k - 1]))
                --k;
            if (k > 0)
                length = k - 1;
            continue;
        }
        if (static_cast<size_t>(length) >= capacity)
            continue;
        if (masked ? !fitsMask(mask[length], c) : std::isprint(c) == 0)
            continue;
        buffer[length++] = static_cast<char>(c);
        fillLiterals();
    }
    buffer[length] = '\0';
    return length;
}

} // extern "C"
