// The lock keys' states as the display reports them.
//
// Threads: interface thread only.
#pragma once

#include <optional>

namespace fw {

struct KeyLocks
{
    // None where the display does not tell (no X server, another windowing system).
    std::optional<bool> caps;
    std::optional<bool> num;
    std::optional<bool> scroll;
};

KeyLocks ReadKeyLocks();

} // namespace fw
