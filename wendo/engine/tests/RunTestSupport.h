// Test support for whole runs: a message target that records every notification with its
// first parameter and lets the test wait for the end of the run, and a fixture that builds a
// document over a temporary tree and runs it through the document's run hand-over.
#pragma once

#include "EngineTestSupport.h"
#include "engine/EngineServices.h"
#include "tessel/FileList.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <random>

namespace wendo::test {

namespace fs = std::filesystem;

// Notifications arrive on the worker; the hook runs there too, before the message is recorded.
class RunTarget : public core::MessageTarget
{
public:
    using Hook = std::function<void(uint32_t message, intptr_t wParam)>;

    void SetHook(Hook hook) { m_hook = std::move(hook); }

    void Post(uint32_t message, intptr_t wParam, void* lParam) override
    {
        Record(message, wParam, lParam);
    }
    intptr_t Send(uint32_t message, intptr_t wParam, void* lParam) override
    {
        Record(message, wParam, lParam);
        return 0;
    }

    // The result of the run, or -1 when it did not end in time.
    intptr_t WaitForEnd(std::chrono::seconds limit = std::chrono::seconds(30))
    {
        std::unique_lock lock(m_mutex);
        const bool ended = m_ended.wait_for(lock, limit, [this] { return m_endResult >= 0; });
        return ended ? m_endResult : -1;
    }
    std::vector<uint32_t> Messages() const
    {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    long Count(uint32_t message) const
    {
        const auto all = Messages();
        return std::count(all.begin(), all.end(), message);
    }
    // Notifications with this message, and the first parameters they carried.
    std::vector<intptr_t> Params(uint32_t message) const
    {
        std::lock_guard lock(m_mutex);
        std::vector<intptr_t> found;
        for (std::size_t i = 0; i < m_messages.size(); ++i) {
            if (m_messages[i] == message) {
                found.push_back(m_params[i]);
            }
        }
        return found;
    }
    bool AllFor(const void* document) const
    {
        std::lock_guard lock(m_mutex);
        return std::all_of(m_documents.begin(), m_documents.end(),
                           [document](const void* d) { return d == document; });
    }
    void Clear()
    {
        std::lock_guard lock(m_mutex);
        m_messages.clear();
        m_params.clear();
        m_documents.clear();
        m_endResult = -1;
    }

private:
    void Record(uint32_t message, intptr_t wParam, void* lParam)
    {
        if (m_hook) {
            m_hook(message, wParam);
        }
        std::lock_guard lock(m_mutex);
        m_messages.push_back(message);
        m_params.push_back(wParam);
        m_documents.push_back(lParam);
        if (message == WMU_RUN_END) {
            m_endResult = wParam;
            m_ended.notify_all();
        }
    }

    Hook m_hook; // set before the run starts
    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    std::vector<uint32_t> m_messages; // guarded by m_mutex
    std::vector<intptr_t> m_params;   // guarded by m_mutex
    std::vector<void*> m_documents;   // guarded by m_mutex
    intptr_t m_endResult = -1;        // guarded by m_mutex
};

// Answers the report question with a fixed answer and counts the questions.
class CountingPrompter : public core::Prompter
{
public:
    explicit CountingPrompter(core::PromptAnswer answer) : m_answer(answer) {}
    core::PromptAnswer Ask(std::string_view text, core::PromptButtons, core::PromptIcon) override
    {
        std::lock_guard lock(m_mutex);
        m_texts.emplace_back(text);
        return m_answer;
    }
    std::vector<std::string> Texts() const
    {
        std::lock_guard lock(m_mutex);
        return m_texts;
    }

private:
    core::PromptAnswer m_answer;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_texts; // guarded by m_mutex
};

// A document over a private temporary tree, run without pauses.
class RunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device rd;
        m_root = fs::temp_directory_path() / ("wendo-run-" + std::to_string(rd()));
        fs::create_directories(m_root);
        m_doc.SetPathName((m_root / "job.wdo").string());
        m_doc.SetRunServices(&m_services);
        m_doc.SetPrompter(&m_prompter);
        m_doc.Backup = 0;
    }
    void TearDown() override
    {
        m_doc.EndProcess();
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }

    std::string PathOf(const std::string& relative) const { return (m_root / relative).string(); }

    void Write(const std::string& relative, const std::string& bytes) const
    {
        const fs::path path = m_root / relative;
        fs::create_directories(path.parent_path());
        WriteAll(path.string(), bytes);
    }
    std::string Read(const std::string& relative) const { return ReadAll(PathOf(relative)); }

    void AddCommand(const std::string& text)
    {
        m_doc.Commands.emplace_back(std::string_view(text));
        ASSERT_EQ(m_doc.Commands.back().ErrorFlag, 0) << text;
    }
    // A file set entry for a path under the tree.
    void AddPath(const std::string& relative, bool recursive, bool exclude = false)
    {
        m_doc.FileSet.Append(
            CFileList(PathOf(relative).c_str(), recursive ? 1 : 0, exclude ? 1 : 0, 0, nullptr));
    }

    // Starts the run, waits for its end and ends it as the main frame does. The run's result.
    intptr_t RunToEnd()
    {
        if (m_doc.StartProcess() != 1) {
            return -2;
        }
        const intptr_t result = m_target.WaitForEnd();
        m_doc.EndProcess();
        return result;
    }

    fs::path m_root;
    RunTarget m_target;
    EngineServices m_services{&m_target, RunSettings{false, {}}};
    CountingPrompter m_prompter{core::PromptAnswer::No};
    CWendoDoc m_doc;
};

} // namespace wendo::test
