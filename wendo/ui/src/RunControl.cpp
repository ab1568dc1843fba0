#include "RunControl.h"

#include "core/StringTable.h"
#include "engine/EngineServices.h"
#include "fw/Profile.h"
#include "fw/QueuedMessageTarget.h"
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

// Binds the document's run hand-over (StartProcess, EndProcess, AskStopProcess, ...) to the
// engine. The document holds raw pointers to this object's services and prompter; the
// destructor takes them back.
class EngineRunControl final : public RunControl, private StopPrompter
{
public:
    EngineRunControl(CWendoDoc& document, fw::QueuedMessageTarget* replayTarget,
                     std::function<RunSettings()> settings)
        : m_document(&document), m_replayTarget(replayTarget), m_settings(std::move(settings))
    {
        m_document->SetStopPrompter(this);
    }

    EngineRunControl(const EngineRunControl&) = delete;
    EngineRunControl& operator=(const EngineRunControl&) = delete;

    ~EngineRunControl() override
    {
        if (m_document->Started.load() != 0) {
            // The worker may be waiting in a send to the interface thread: end it from the
            // stop thread and keep answering until it is gone.
            m_document->StopProcess();
            if (m_replayTarget != nullptr) {
                m_replayTarget->ServiceSendsUntil(
                    [this] { return m_document->Started.load() == 0; });
            }
        }
        m_document->SetStopPrompter(nullptr);
        m_document->SetRunServices(nullptr);
    }

    int StartProcess(core::MessageTarget& target) override
    {
        if (m_document->Started.load() != 0) {
            return 0;
        }
        // Each run takes the settings of the moment it starts; a run in progress keeps the
        // target its process was made with.
        UseServices(&target);
        return m_document->StartProcess();
    }

    int EndProcess() override { return m_document->EndProcess(); }

    void ResumeProcess() override { m_document->ResumeProcess(); }

    int AskStopProcess(const std::function<StopChoice()>& ask) override
    {
        m_ask = &ask;
        const int suspended = m_document->AskStopProcess();
        m_ask = nullptr;
        return suspended;
    }

    int LoadReport() override
    {
        if (m_document->Started.load() != 0) {
            return 0; // the run holds the report file
        }
        UseServices(m_replayTarget);
        return m_document->LoadReport();
    }

private:
    wendo::StopChoice AskStopOrSuspend() override
    {
        if (m_ask == nullptr || !*m_ask) {
            return wendo::StopChoice::Cancel;
        }
        switch ((*m_ask)()) {
        case StopChoice::Stop:
            return wendo::StopChoice::Stop;
        case StopChoice::Suspend:
            return wendo::StopChoice::Suspend;
        case StopChoice::Cancel:
            break;
        }
        return wendo::StopChoice::Cancel;
    }

    void UseServices(core::MessageTarget* target)
    {
        m_services =
            std::make_unique<EngineServices>(target, m_settings ? m_settings() : RunSettings{});
        m_document->SetRunServices(m_services.get());
    }

    CWendoDoc* m_document;
    fw::QueuedMessageTarget* m_replayTarget;
    std::function<RunSettings()> m_settings;
    std::unique_ptr<EngineServices> m_services;
    // The question of the AskStopProcess in progress; null between questions.
    const std::function<StopChoice()>* m_ask = nullptr;
};

} // namespace

RunSettings DesktopRunSettings(const fw::Profile& profile)
{
    RunSettings settings;
    settings.pace =
        profile.GetInt(QString::fromLatin1(kPaceSection), QString::fromLatin1(kPaceEntry), 0) != 0;
    settings.journalFolder = UserJournalFolder();
    return settings;
}

std::unique_ptr<RunControl> MakeEngineRunControl(CWendoDoc& document,
                                                 fw::QueuedMessageTarget* replayTarget,
                                                 std::function<RunSettings()> settings)
{
    return std::make_unique<EngineRunControl>(document, replayTarget, std::move(settings));
}

std::unique_ptr<RunControl> MakeUnavailableRunControl(CWendoDoc& document)
{
    return std::make_unique<UnavailableRunControl>(document);
}

} // namespace wendo::ui
