#include "tessel/RASConnection.h"

int CRASConnection::Init(const RASConnectionRecord& /*record*/)
{
    m_handle = 0;
    return 0;
}

int CRASConnection::IsConnected(const char* /*entryName*/) const
{
    return 0;
}

int CRASConnection::CloseConnection()
{
    m_handle = 0;
    return 0;
}
