// CKVOSVersion: the running operating system's name and version, read once on construction.
// The tests of the older desktop platform families always answer 0 here.
#pragma once

#include "tessel/tessel_api.h"

#include <string>

class TESSEL_API CKVOSVersion
{
public:
    CKVOSVersion();

    int IsNT() const { return 0; }
    int IsWIN95() const { return 0; }
    int IsWIN98() const { return 0; }
    int IsWIN31() const { return 0; }

    // Major and minor version as "%d.%d" (for instance "6.1"); "0.0" when unknown.
    void GetVersion(std::string& text) const;
    // The same text read as a number.
    double GetVersion() const;

    int GetMajorVersion() const { return m_major; }
    int GetMinorVersion() const { return m_minor; }
    // The system's name ("Linux") and full release text; empty when unknown.
    const std::string& GetSystemName() const { return m_name; }
    const std::string& GetRelease() const { return m_release; }

private:
    std::string m_name;
    std::string m_release;
    int m_major = 0;
    int m_minor = 0;
};
