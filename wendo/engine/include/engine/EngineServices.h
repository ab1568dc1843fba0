// The engine as a document's RunServices: makes a CParseProcess for each run and reads
// reports, both telling the same MessageTarget. The program owns one and hands it to each
// document (CWendoDoc::SetRunServices); it must outlive the runs it started.
#pragma once

#include "engine/ParseProcess.h"
#include "model/WendoDoc.h"

namespace wendo {

class EngineServices final : public RunServices
{
public:
    EngineServices(core::MessageTarget* target, RunSettings settings)
        : m_target(target), m_settings(std::move(settings))
    {
    }

    std::unique_ptr<RunProcess> CreateProcess(CWendoDoc& document) override;
    int LoadReport(CWendoDoc& document) override;

private:
    core::MessageTarget* m_target;
    RunSettings m_settings;
};

} // namespace wendo
