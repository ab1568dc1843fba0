// The command document: its new values, command storage and iteration, the file set
// operations, CanRun, the counters and the views it talks to.
#include "ModelTestSupport.h"
#include "model/DocViews.h"
#include "model/WendoDoc.h"

#include <array>

using namespace wendo;
using namespace wendo::test;

namespace {

struct RecordingListView : CommandListView
{
    void CommandRowAdded(int row) override { events.push_back("add " + std::to_string(row)); }
    void CommandRowChanged(int row) override { events.push_back("change " + std::to_string(row)); }
    void CommandRowMoved(int from, int to) override
    {
        events.push_back("move " + std::to_string(from) + " " + std::to_string(to));
    }
    std::vector<std::string> events;
};

std::vector<int16_t> TypesOf(const CWendoDoc& doc)
{
    std::vector<int16_t> types;
    for (const CParseCmdList& command : doc.Commands) {
        types.push_back(command.Type);
    }
    return types;
}

void AddThree(CWendoDoc& doc)
{
    for (const char* text : {"FINDREPL VALUE ~a~", "FINDREPL VALUE ~b~", "REWIND"}) {
        ASSERT_EQ(doc.StoreCommand(-1, CParseCmd(text), nullptr, 0), 1);
    }
}

constexpr int16_t F = CmdType::FINDREPL;
constexpr int16_t S = CmdType::DISPLAY_FILESTAT;
constexpr int16_t R = CmdType::REWIND;

TEST(WendoDoc, NewDocumentValues)
{
    CWendoDoc doc;
    EXPECT_EQ(doc.ReportPath, "");
    EXPECT_EQ(doc.BackupExt, "bak");
    EXPECT_EQ(doc.Backup, 1);
    for (int32_t flag : {doc.Verbose, doc.Rewind, doc.Report, doc.LogUnmodified, doc.NoWrite}) {
        EXPECT_EQ(flag, 0);
    }
    for (int64_t time :
         {doc.ModifTime, doc.LastReportTime.load(), doc.ReportModifTime, doc.LastRunTime.load()}) {
        EXPECT_EQ(time, 0);
    }
    EXPECT_EQ(doc.FromLine, 0);
    EXPECT_EQ(doc.ToLine, 0);
    EXPECT_EQ(doc.CommandCount(), 0);
    EXPECT_EQ(doc.FileSet.Count(), 0);
    EXPECT_EQ(doc.FileSet.DefaultFilters().size(), 6U);
    EXPECT_EQ(doc.Started.load(), 0);
    EXPECT_STREQ(doc.GetRuntimeClass()->m_className, "CWendoDoc");
    EXPECT_NE(CWendoDoc::classCWendoDoc.CreateObject(), nullptr);
}

TEST(WendoDoc, StoreCommandKeepsAFileStatisticsCommandFirst)
{
    struct Row
    {
        const char* name;
        int32_t position;
        const char* text;
        int insert;
        std::vector<int16_t> types;
        const char* event;
    };
    const std::vector<Row> rows = {
        {"append", -1, "FINDREPL VALUE ~c~", 0, {F, F, R, F}, "add 3"},
        {"append_filestat_goes_first", -1, "DISPLAY_FILESTAT", 0, {S, F, F, R}, "add 0"},
        {"edit_third_into_filestat_moves_it", 2, "DISPLAY_FILESTAT", 0, {S, F, F}, "move 2 0"},
        {"edit_first_into_filestat_stays", 0, "DISPLAY_FILESTAT", 0, {S, F, R}, "change 0"},
        {"insert_filestat_after_first", 0, "DISPLAY_FILESTAT", 1, {F, S, F, R}, "add 1"},
        {"replace_in_place", 1, "REWIND", 0, {F, R, R}, "change 1"},
        {"insert_after_last", 2, "FINDREPL VALUE ~d~", 1, {F, F, R, F}, "add 3"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CWendoDoc doc;
        AddThree(doc);
        doc.SetModifiedFlag(false);
        RecordingListView view;
        EXPECT_EQ(doc.StoreCommand(row.position, CParseCmd(row.text), &view, row.insert), 1);
        EXPECT_EQ(TypesOf(doc), row.types);
        EXPECT_EQ(view.events, std::vector<std::string>{row.event});
        EXPECT_TRUE(doc.IsModified());
    }
}

TEST(WendoDoc, StoreCommandAtAMissingPositionChangesNothing)
{
    for (int32_t position : {3, 40, -2}) {
        SCOPED_TRACE(position);
        CWendoDoc doc;
        AddThree(doc);
        doc.SetModifiedFlag(false);
        RecordingListView view;
        EXPECT_EQ(doc.StoreCommand(position, CParseCmd("DISPLAY_FILESTAT"), &view, 0), 0);
        EXPECT_EQ(TypesOf(doc), (std::vector<int16_t>{F, F, R}));
        EXPECT_TRUE(view.events.empty());
        EXPECT_FALSE(doc.IsModified());
    }
}

TEST(WendoDoc, StoredCommandsFollowTheirTextNotTheEditedFields)
{
    CWendoDoc doc;
    CParseCmd edited("FINDREPL VALUE ~a~");
    edited.Value = "not in the text";
    ASSERT_EQ(doc.StoreCommand(-1, edited, nullptr, 0), 1);
    EXPECT_EQ(doc.Commands.front().Value, "a");
    ASSERT_EQ(doc.StoreCommand(-1, CParseCmd(""), nullptr, 0), 1);
    EXPECT_EQ(doc.Commands.back().Type, CmdType::FINDREPL);
    EXPECT_EQ(doc.Commands.back().Value, "");
}

TEST(WendoDoc, CommandIteration)
{
    CWendoDoc doc;
    CParseCmd out;
    EXPECT_EQ(doc.FirstCommand(), 0);
    EXPECT_EQ(doc.NextCommand(out), 0);

    AddThree(doc);
    EXPECT_EQ(doc.HasFileStatCommand(), 0);
    ASSERT_EQ(doc.FirstCommand(), 1);
    std::vector<std::string> seen;
    while (doc.NextCommand(out) != 0) {
        seen.push_back(out.Text);
    }
    EXPECT_EQ(seen,
              (std::vector<std::string>{"FINDREPL VALUE ~a~", "FINDREPL VALUE ~b~", "REWIND"}));
    // Removing commands behind the enumeration's back ends it rather than leaving it loose.
    ASSERT_EQ(doc.FirstCommand(), 1);
    CParseCmdList entry;
    ASSERT_EQ(doc.NextCommandEntry(entry), 1);
    doc.Commands.clear();
    EXPECT_EQ(doc.NextCommandEntry(entry), 0);

    doc.StoreCommand(-1, CParseCmd("DISPLAY_FILESTAT"), nullptr, 0);
    EXPECT_EQ(doc.HasFileStatCommand(), 1);
}

TEST(WendoDoc, FindCommandEditorActivatesTheEditorFrame)
{
    CWendoDoc doc;
    AddThree(doc);
    int frame = 0;
    std::vector<void*> activated;
    doc.SetFrameActivator([&](void* f) { activated.push_back(f); });
    auto& second = *std::next(doc.Commands.begin());
    second.EditPosition = 1;
    second.EditorFrame = &frame;
    EXPECT_EQ(doc.FindCommandEditor(0, 1), 0);
    EXPECT_EQ(doc.FindCommandEditor(1, 0), 1);
    EXPECT_TRUE(activated.empty());
    EXPECT_EQ(doc.FindCommandEditor(1, 1), 1);
    EXPECT_EQ(activated, std::vector<void*>{&frame});
}

TEST(WendoDoc, CountersFollowTheCommandList)
{
    CWendoDoc doc;
    doc.CountModification(0); // no counters yet: nothing happens
    EXPECT_TRUE(doc.Run.Counters().empty());
    AddThree(doc);
    doc.ResetCounters();
    EXPECT_EQ(doc.Run.Counters(), (std::vector<int32_t>{0, 0, 0, 0}));
    doc.CountModification(1);
    EXPECT_EQ(doc.Run.Counters(), (std::vector<int32_t>{1, 0, 1, 0}));
    doc.CountModification(7); // no such command: the total alone
    EXPECT_EQ(doc.Run.Counters(), (std::vector<int32_t>{2, 0, 1, 0}));
}

TEST(WendoDoc, CanRunOnlyWhenSavedCompleteAndNotBeingEdited)
{
    CWendoDoc doc;
    EXPECT_EQ(doc.CanRun(), 0); // new: no commands
    AddThree(doc);
    doc.FileSet.Append(CFileList("site/*.htm", 1, 0, 0, nullptr));
    EXPECT_EQ(doc.CanRun(), 0); // modified
    doc.SetModifiedFlag(false);
    EXPECT_EQ(doc.CanRun(), 1);
    doc.OpenCommandEditors = 1;
    EXPECT_EQ(doc.CanRun(), 0);
    doc.OpenCommandEditors = 0;
    doc.OpenPathSelectors = 1;
    EXPECT_EQ(doc.CanRun(), 0);
    doc.OpenPathSelectors = 0;
    doc.FileSet.Clear();
    EXPECT_EQ(doc.CanRun(), 0);
}

TEST(WendoDoc, ModifyFileEntryCodes)
{
    struct Row
    {
        const char* name;
        int32_t index;
        int16_t code;
        std::vector<std::string> forms;
    };
    const std::vector<Row> rows = {
        {"toggle_exclude", 1, 1, {"FILTER RECURS_ON a/*.htm", "EXCL_FILTER RECURS_OFF b.htm"}},
        {"remove", 0, 2, {"FILTER RECURS_OFF b.htm"}},
        {"toggle_recursive", 1, 3, {"FILTER RECURS_ON a/*.htm", "FILTER RECURS_ON b.htm"}},
        {"remove_all_ignores_index", 9, 4, {}},
        {"unknown_code", 0, 5, {"FILTER RECURS_ON a/*.htm", "FILTER RECURS_OFF b.htm"}},
        {"missing_index", 2, 1, {"FILTER RECURS_ON a/*.htm", "FILTER RECURS_OFF b.htm"}},
        {"negative_index", -1, 2, {"FILTER RECURS_ON a/*.htm", "FILTER RECURS_OFF b.htm"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CWendoDoc doc;
        doc.FileSet.Append(CFileList("a/*.htm", 1, 0, 0, nullptr));
        doc.FileSet.Append(CFileList("b.htm", 0, 0, 0, nullptr));
        EXPECT_EQ(doc.ModifyFileEntry(row.index, row.code), 1);
        EXPECT_TRUE(doc.IsModified());
        std::vector<std::string> forms;
        CFileList entry;
        for (int more = doc.FirstFileEntry(entry); more != 0; more = doc.NextFileEntry(entry)) {
            forms.push_back(entry.GetStrFileList());
        }
        EXPECT_EQ(forms, row.forms);
    }
}

TEST(WendoDoc, FileEntrySwitchesByIndex)
{
    CWendoDoc doc;
    doc.FileSet.Append(CFileList("a/*.htm", 1, 0, 0, nullptr));
    doc.FileSet.Append(CFileList("b/*.htm", 0, 1, 0, nullptr));
    EXPECT_EQ(doc.IsFileEntryRecursive(0), 1);
    EXPECT_EQ(doc.IsFileEntryExcluded(0), 0);
    EXPECT_EQ(doc.IsFileEntryRecursive(1), 0);
    EXPECT_EQ(doc.IsFileEntryExcluded(1), 1);
    EXPECT_EQ(doc.IsFileEntryExcluded(2), 0);
    EXPECT_EQ(doc.IsFileEntryRecursive(-1), 0);
}

struct CountingFileView : FileListView
{
    void RefreshFileList() override { ++refreshed; }
    int refreshed = 0;
};

TEST(WendoDoc, SetFileSetReplacesEntriesAndRefreshesTheFileList)
{
    CWendoDoc doc;
    CountingFileView first;
    CountingFileView second;
    doc.AddView(&first);
    doc.AddView(&second);
    doc.FileSet.Append(CFileList("old.htm", 0, 0, 0, nullptr));
    doc.SetFileSet(2, ":~:FILTER RECURS_ON a/*.htm:~:\n:~:EXCL_FILTER RECURS_OFF *.bak:~:\n");
    ASSERT_EQ(doc.FileSet.Count(), 2);
    EXPECT_EQ(doc.FileSet.At(1)->GetStrFileList(), "EXCL_FILTER RECURS_OFF *.bak");
    EXPECT_EQ(first.refreshed, 1);
    EXPECT_EQ(second.refreshed, 0);
    EXPECT_TRUE(doc.IsModified());
}

struct StubProgressView : ProgressView
{
    void UpdateRunState(bool canRun, bool started, bool suspended) override
    {
        states.push_back({canRun, started, suspended});
    }
    std::vector<std::array<bool, 3>> states;
};

TEST(WendoDoc, UpdateProgressStateReachesTheProgressView)
{
    CWendoDoc doc;
    doc.UpdateProgressState(); // no view: nothing
    StubProgressView view;
    doc.AddView(&view);
    doc.Started = 1;
    doc.UpdateProgressState();
    ASSERT_EQ(view.states.size(), 1U);
    EXPECT_EQ(view.states[0], (std::array<bool, 3>{false, true, false}));
}

struct StubOptionView : OptionView
{
    bool StoreOptions() override
    {
        ++asked;
        return accept;
    }
    bool accept = true;
    int asked = 0;
};

class WendoDocSave : public TempFolderTest
{
};

TEST_F(WendoDocSave, AnOptionViewThatRefusesAbandonsTheSave)
{
    CWendoDoc doc;
    StubOptionView accepting;
    StubOptionView refusing;
    refusing.accept = false;
    doc.AddView(&accepting);
    doc.AddView(&refusing);
    doc.SetModifiedFlag(true);
    const std::string path = PathOf("c.wdo");
    WriteAll(path, "old bytes");
    EXPECT_FALSE(doc.OnSaveDocument(path));
    EXPECT_EQ(ReadAll(path), "old bytes");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(accepting.asked, 1);

    refusing.accept = true;
    EXPECT_TRUE(doc.OnSaveDocument(path));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_NE(ReadAll(path), "old bytes");
}

TEST_F(WendoDocSave, ReportFileIsNamedAfterTheCommandFile)
{
    EXPECT_EQ(CWendoDoc::ReportFileFor("", "C:\\site\\jobs\\site.wdo"), "C:\\site\\jobs\\site.log");
    EXPECT_EQ(CWendoDoc::ReportFileFor("", "/tmp/a/b.wdo"), "\\tmp\\a\\b.log");
    // A relative LOGFILE is taken from the command file's folder, not from the current one.
    EXPECT_EQ(CWendoDoc::ReportFileFor("x.log", "/tmp/a/b.wdo"), "\\tmp\\a\\x.log");
    EXPECT_EQ(CWendoDoc::ReportFileFor("/var/x.log", "/tmp/a/b.wdo"), "/var/x.log");
    EXPECT_EQ(CWendoDoc::ReportFileFor("x.log", "b.wdo"), "x.log");
}

} // namespace

namespace {

// A run that ends as soon as it is asked to.
class InstantProcess : public RunProcess
{
public:
    int Launch() override { return 1; }
    int Finish() override { return 1; }
    void SetSuspendEvent(bool /*suspended*/) override {}
    void RequestStop() override {}
};

class InstantServices : public RunServices
{
public:
    std::unique_ptr<RunProcess> CreateProcess(CWendoDoc& /*document*/) override
    {
        return std::make_unique<InstantProcess>();
    }
    int LoadReport(CWendoDoc& /*document*/) override { return 0; }
};

} // namespace

// Run pressed while the stop thread of the previous run was still waiting for the run lock:
// the start joined that thread while holding the lock, and both waited for ever.
TEST(WendoDocRun, StartWaitsForAnEarlierStopThreadWithoutHoldingTheRunLock)
{
    InstantServices services;
    CWendoDoc doc;
    doc.SetRunServices(&services);
    for (int round = 0; round < 50; ++round) {
        ASSERT_EQ(doc.StartProcess(), 1);
        {
            // The stop thread starts while the lock is held, so it is still on its way into
            // EndProcess when the run has already been ended and a new one is asked for.
            std::lock_guard lock(doc.RunLock);
            doc.StopThread = std::make_unique<CKillProcessThread>(doc);
            ASSERT_EQ(doc.StopThread->CreateThread(), 1);
        }
        doc.EndProcess();
        ASSERT_EQ(doc.StartProcess(), 1) << "round " << round;
        EXPECT_EQ(doc.StopThread, nullptr);
        doc.EndProcess();
    }
}
