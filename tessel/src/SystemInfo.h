// The few facts about the running system that Tessel reads directly: the kernel's name and
// release, and the program file's path. Kept in one place so that a port has one file to
// change.
#pragma once

#include <string>

namespace tessel_sys {

struct KernelInfo
{
    std::string name;    // for instance "Linux"
    std::string release; // for instance "6.1.0-18-amd64"
    bool valid = false;
};

KernelInfo ReadKernel();

// The running program's file in the native form; empty when it cannot be read.
std::string ProgramPath();

} // namespace tessel_sys
