// Test support for the engine: a MessageTarget that records what it receives, and a fixture
// that runs command lines on a real file in a private temporary folder.
#pragma once

#include "core/MessageTarget.h"
#include "engine/Notifications.h"
#include "engine/ParseProcess.h"
#include "model/ParseCmd.h"
#include "model/WendoDoc.h"
#include "os/file.h"
#include "os/path.h"
#include "os/workdir.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace wendo::test {

// Receives the engine's notifications on any thread and keeps them in order.
class RecordingTarget : public core::MessageTarget
{
public:
    void Post(uint32_t message, intptr_t, void* lParam) override { Record(message, lParam); }
    intptr_t Send(uint32_t message, intptr_t, void* lParam) override
    {
        Record(message, lParam);
        return 0;
    }
    long Count(uint32_t message) const
    {
        std::lock_guard lock(m_mutex);
        return std::count(m_messages.begin(), m_messages.end(), message);
    }
    // Every message carried this document.
    bool AllFor(const void* document) const
    {
        std::lock_guard lock(m_mutex);
        return std::all_of(m_documents.begin(), m_documents.end(),
                           [document](const void* d) { return d == document; });
    }

private:
    void Record(uint32_t message, void* lParam)
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(message);
        m_documents.push_back(lParam);
    }
    mutable std::mutex m_mutex;
    std::vector<uint32_t> m_messages; // guarded by m_mutex
    std::vector<void*> m_documents;   // guarded by m_mutex
};

inline std::string ReadAll(const std::string& keptPath)
{
    std::ifstream in(os::ToNative(keptPath), std::ios::binary | std::ios::ate);
    std::string bytes(in ? static_cast<std::size_t>(in.tellg()) : 0, '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void WriteAll(const std::string& keptPath, const std::string& bytes)
{
    std::ofstream out(os::ToNative(keptPath), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// What one file went through.
struct Outcome
{
    int16_t result = -1;
    std::string text;    // the source after the write-back
    std::string message; // the file's message
    int32_t total = 0;   // TOTALITERATION
    std::vector<int32_t> counters;
    long notified = 0; // WMU_REPLACED received
    bool writeBack = false;
};

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(m_files.Create(), 0); }

    std::string Source(const std::string& name = "page.htm") const { return m_files.FileIn(name); }

    // A run that keeps every file's text in work files, never in memory.
    static RunSettings OnDisk()
    {
        RunSettings settings;
        settings.memoryLimit = -1;
        return settings;
    }

    // Parses each line into a command; a line that does not parse fails the test.
    static std::vector<std::unique_ptr<CParseCmd>> Commands(const std::vector<std::string>& lines)
    {
        std::vector<std::unique_ptr<CParseCmd>> commands;
        for (const std::string& line : lines) {
            commands.push_back(std::make_unique<CParseCmd>(line));
            EXPECT_EQ(commands.back()->ErrorFlag, 0) << line << ": " << commands.back()->ErrorText;
        }
        return commands;
    }

    // Runs the lines on a file holding input, then writes the result back over the source as
    // the run driver does, and deletes the work files. The file is worked on in memory, as a
    // run does, and once more through work files: both must give the same.
    Outcome Run(const std::string& input, const std::vector<std::string>& lines)
    {
        Outcome inMemory = RunOnce(input, lines, RunSettings{}.memoryLimit);
        const Outcome onDisk = RunOnce(input, lines, OnDisk().memoryLimit);
        EXPECT_EQ(inMemory.result, onDisk.result);
        EXPECT_EQ(inMemory.text, onDisk.text) << "work files give other bytes than memory";
        EXPECT_EQ(inMemory.message, onDisk.message);
        EXPECT_EQ(inMemory.counters, onDisk.counters);
        return inMemory;
    }

    Outcome RunOnce(const std::string& input, const std::vector<std::string>& lines,
                    int64_t memoryLimit)
    {
        const auto commands = Commands(lines);
        std::vector<const CParseCmd*> list;
        for (const auto& c : commands) {
            list.push_back(c.get());
        }
        const std::string path = Source();
        WriteAll(path, input);
        doc.Run.ResetCounters(list.size());
        doc.Run.TotalIteration = 0;
        doc.Run.SetFileMessage("");
        RecordingTarget target;
        RunSettings settings;
        settings.memoryLimit = memoryLimit;
        CParseProcess process(doc, &target, settings);
        Outcome out;
        out.result = process.ProcessCommands(path, list);
        out.writeBack = process.NeedsWriteBack();
        std::string result;
        if (out.writeBack) {
            EXPECT_TRUE(process.ResultText(result));
            WriteAll(path, result);
        }
        process.DeleteWorkFiles();
        EXPECT_FALSE(os::Exists(os::ToNative(process.WorkFilePath(CParseProcess::kWorkFile))));
        EXPECT_FALSE(os::Exists(os::ToNative(process.WorkFilePath(CParseProcess::kRewindFile))));
        out.text = ReadAll(path);
        out.message = doc.Run.FileMessage();
        out.total = doc.Run.TotalIteration;
        out.counters = doc.Run.Counters();
        out.notified = target.Count(WMU_REPLACED);
        EXPECT_EQ(out.notified, out.total);
        EXPECT_TRUE(target.AllFor(&doc));
        return out;
    }

    os::WorkDir m_files;
    CWendoDoc doc;
};

} // namespace wendo::test
