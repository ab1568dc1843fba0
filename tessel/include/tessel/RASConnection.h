// CRASConnection: dial-up (remote access) connections. This system has no dial-up service:
// every query answers that none is available or connected, and nothing is ever dialled or
// hung up.
#pragma once

#include "tessel/tessel_api.h"

#include <cstdint>
#include <string>

// What a dial-up service reports of one connection.
struct RASConnectionRecord
{
    std::uintptr_t handle = 0;
    std::string entryName;
    std::string deviceType;
    std::string deviceName;
};

class TESSEL_API CRASConnection
{
public:
    CRASConnection() = default;

    // 0: no dial-up service.
    int IsRASAvailable() const { return 0; }
    // Takes the record's connection; 0 without a dial-up service (the object keeps none).
    int Init(const RASConnectionRecord& record);
    // 0: no entry is connected.
    int IsConnected(const char* entryName) const;
    // 0: there is nothing to hang up.
    int CloseConnection();
    // 0: no connection.
    std::uintptr_t GetConnectionHandle() const { return m_handle; }

private:
    std::uintptr_t m_handle = 0;
};
