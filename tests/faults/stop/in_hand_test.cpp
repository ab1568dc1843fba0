// A file in hand: whatever another program or a second run does to it, or to its folder,
// while the commands run, that version stays and the row says so; nothing outside the tree is
// written. A stop in the middle of a file's matches ends the file unwritten, and its row and
// the totals claim none of its replacements. Runs in the same process so that the changes
// land at a chosen notification of the worker.
#include "FaultSupport.h"
#include "core/MessageTarget.h"
#include "engine/Notifications.h"
#include "engine/ParseProcess.h"

namespace faults {
namespace {

// Calls a hook for every notification (on the run's thread: RunAll runs on the test thread)
// and keeps each file's row.
class HookTarget final : public core::MessageTarget
{
public:
    explicit HookTarget(wendo::CWendoDoc& doc) : m_doc(doc) {}
    void Post(uint32_t message, intptr_t, void*) override
    {
        if (m_hook) {
            m_hook(message);
        }
    }
    intptr_t Send(uint32_t message, intptr_t, void*) override
    {
        if (message == wendo::WMU_ADD_FILE_LINE) {
            rows[m_doc.Run.FileName()] = m_doc.Run.FileMessage();
        }
        return 0;
    }
    std::function<void(uint32_t)> m_hook;
    std::map<std::string, std::string> rows;

private:
    wendo::CWendoDoc& m_doc;
};

void LoadJob(wendo::CWendoDoc& doc, const Box& box, const std::string& job)
{
    doc.SetPathName(box.Path(job).string());
    ASSERT_TRUE(doc.OnOpenDocument(box.Path(job).string()));
}

int16_t RunJob(const Box& box, const std::string& job, HookTarget* target = nullptr,
               const std::function<void(wendo::CParseProcess&)>& prepare = {})
{
    wendo::CWendoDoc doc;
    LoadJob(doc, box, job);
    HookTarget own(doc);
    wendo::CParseProcess process(doc, target != nullptr ? target : &own,
                                 {false, box.Tmp().string()});
    if (prepare) {
        prepare(process);
    }
    return process.RunAll();
}

TEST(InHand, AnotherVersionOfTheFileStaysAndTheRowSaysSo)
{
    const std::string old = "a a a a\n";
    const struct
    {
        const char* name;
        std::function<void(const Box&)> change;
        std::string expected; // site/a.htm afterwards
    } rows[] = {
        {"in_place_save_of_the_same_size", [](const Box& b) { b.Write("site/a.htm", "e e e e\n"); },
         "e e e e\n"},
        {"shrink", [](const Box& b) { b.Write("site/a.htm", "a\n"); }, "a\n"},
        {"editor_style_replace",
         [](const Box& b) {
             b.Write("site/a.tmp", "editor\n");
             fs::rename(b.Path("site/a.tmp"), b.Path("site/a.htm"));
         },
         "editor\n"},
        {"swapped_for_a_link_outside",
         [](const Box& b) {
             fs::remove(b.Path("site/a.htm"));
             fs::create_symlink(b.Path("outside/a.htm"), b.Path("site/a.htm"));
         },
         old},
        {"second_run_with_other_commands",
         [](const Box& b) { EXPECT_EQ(RunJob(b, "job2.wdo"), wendo::FileResult::MODIFIED); },
         "c c c c\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Box box;
        box.Write("site/a.htm", old);
        box.Write("site/b.htm", old);
        box.Write("outside/a.htm", old);
        box.SaveJob({"FINDREPL CASESENS DELIMITER ~a~ VALUE ~c~"},
                    {CFileList(box.Path("site/a.htm").c_str(), 0, 0, 0, nullptr)});
        fs::rename(box.Path("job.wdo"), box.Path("job2.wdo"));
        box.SaveJob({kAtoB}, {CFileList(box.Path("site/*.htm").c_str(), 0, 0, 0, nullptr)},
                    [](wendo::CWendoDoc& d) { d.Report = 0; });
        wendo::CWendoDoc doc;
        HookTarget target(doc);
        bool changed = false;
        target.m_hook = [&](uint32_t message) {
            if (message == wendo::WMU_COMMAND_BEGIN && !changed && doc.Run.FileName() == "a.htm") {
                changed = true;
                row.change(box);
            }
        };
        LoadJob(doc, box, "job.wdo");
        wendo::CParseProcess process(doc, &target, {false, box.Tmp().string()});
        process.RunAll();
        EXPECT_TRUE(changed);
        EXPECT_EQ(ReadFile(box.Path("site/a.htm")), row.expected);
        EXPECT_EQ(box.Read("outside/a.htm"), old) << "nothing outside the tree is written";
        EXPECT_EQ(target.rows["a.htm"], "ERROR: File changed during run");
        EXPECT_EQ(box.Read("site/b.htm"), "b b b b\n");
        EXPECT_EQ(doc.Run.TotalModified.load(), 1);
        EXPECT_EQ(doc.Run.TotalIteration.load(), 4) << "only b.htm's replacements count";
    }
}

TEST(InHand, FolderSwappedForALinkRedirectsNothing)
{
    Box box;
    box.Write("site/a.htm", "a");
    box.Write("outside/a.htm", "a");
    box.SaveJob({kAtoB}, {CFileList(box.Path("site/a.htm").c_str(), 0, 0, 0, nullptr)},
                [](wendo::CWendoDoc& d) { d.Report = 0; });
    wendo::CWendoDoc doc;
    HookTarget target(doc);
    target.m_hook = [&](uint32_t message) {
        if (message == wendo::WMU_COMMAND_BEGIN && !fs::exists(box.Path("site.old"))) {
            fs::rename(box.Path("site"), box.Path("site.old"));
            fs::create_symlink(box.Path("outside"), box.Path("site"));
        }
    };
    LoadJob(doc, box, "job.wdo");
    wendo::CParseProcess process(doc, &target, {false, box.Tmp().string()});
    process.RunAll();
    EXPECT_EQ(box.Read("outside/a.htm"), "a");
    EXPECT_FALSE(fs::exists(box.Path("outside/a.htm.bak")));
    EXPECT_EQ(box.Read("site.old/a.htm"), "b") << "the file read is the file written";
}

TEST(InHand, StopAmidAFilesMatchesLeavesItUnwrittenAndUnclaimed)
{
    Box box;
    std::string many;
    for (int i = 0; i < 20000; ++i) {
        many += "a ";
    }
    box.Write("site/big.htm", many);
    box.SaveJob({kAtoB}, {CFileList(box.Path("site/big.htm").c_str(), 0, 0, 0, nullptr)},
                [](wendo::CWendoDoc& d) { d.Report = 0; });
    wendo::CWendoDoc doc;
    HookTarget target(doc);
    int replaced = 0;
    wendo::CParseProcess* running = nullptr;
    target.m_hook = [&](uint32_t message) {
        if (message == wendo::WMU_REPLACED && ++replaced == 300) {
            running->RequestStop();
        }
    };
    LoadJob(doc, box, "job.wdo");
    wendo::CParseProcess process(doc, &target, {false, box.Tmp().string()});
    running = &process;
    EXPECT_EQ(process.RunAll(), wendo::FileResult::STOPPED);
    EXPECT_LT(replaced, 300 + 2 * static_cast<int>(wendo::CParseProcess::kMatchesPerStopCheck))
        << "the stop is seen inside the command";
    EXPECT_EQ(box.Read("site/big.htm"), many);
    EXPECT_FALSE(fs::exists(box.Path("site/big.htm.bak")));
    EXPECT_EQ(target.rows["big.htm"], wendo::CParseProcess::kStoppedUnwritten);
    EXPECT_EQ(doc.Run.TotalIteration.load(), 0);
    EXPECT_EQ(doc.Run.Counters().at(0), 0);
}

} // namespace
} // namespace faults
