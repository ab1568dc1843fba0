#include "engine/EngineServices.h"

#include "engine/Report.h"

#include <new>

namespace wendo {

std::unique_ptr<RunProcess> EngineServices::CreateProcess(CWendoDoc& document)
{
    return std::unique_ptr<RunProcess>(new (std::nothrow)
                                           CParseProcess(document, m_target, m_settings));
}

int EngineServices::LoadReport(CWendoDoc& document)
{
    return wendo::LoadReport(document, m_target);
}

} // namespace wendo
