#include "RunControl.h"

#include "core/StringTable.h"
#include "model/WendoDoc.h"

namespace wendo::ui {

namespace {

class UnavailableRunControl final : public RunControl
{
public:
    explicit UnavailableRunControl(CWendoDoc& document) : m_document(&document) {}

    int StartProcess(core::MessageTarget& /*target*/) override
    {
        if (m_document->Started.load() != 0) {
            return 0;
        }
        m_document->Ask(core::LoadString(core::Msg::CANT_START_PROCESS), core::PromptButtons::Ok,
                        core::PromptIcon::Stop);
        return 0;
    }

    int EndProcess() override
    {
        std::lock_guard lock(m_document->RunLock);
        m_document->Started.store(0);
        m_document->Suspended.store(0);
        return 1;
    }

    void ResumeProcess() override {}

    int AskStopProcess(const std::function<StopChoice()>& /*ask*/) override { return 0; }

    int LoadReport() override { return 0; }

private:
    CWendoDoc* m_document;
};

} // namespace

std::unique_ptr<RunControl> MakeUnavailableRunControl(CWendoDoc& document)
{
    return std::make_unique<UnavailableRunControl>(document);
}

} // namespace wendo::ui
