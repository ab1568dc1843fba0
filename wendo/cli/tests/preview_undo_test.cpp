// wendo-run --diff and --undo, run as a program: the diff that patch applies gives exactly the
// bytes of a run, and an undo gives back the tree that the run started from.
#include "CliTestSupport.h"
#include "model/WendoDoc.h"

#include <cstdlib>
#include <map>

using namespace wendo;
using namespace wendo::cli::test;

namespace {

using Tree = std::map<std::string, std::string>; // relative path -> bytes, or "-> target"

Tree TreeOf(const fs::path& top)
{
    Tree tree;
    for (const auto& e : fs::recursive_directory_iterator(top)) {
        const std::string rel = e.path().lexically_relative(top).string();
        if (e.is_symlink()) {
            tree[rel] = "-> " + fs::read_symlink(e.path()).string();
        } else if (e.is_regular_file()) {
            tree[rel] = ReadFile(e.path());
        }
    }
    return tree;
}

class PreviewUndoTest : public CliTest
{
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        setenv("XDG_STATE_HOME", (m_dir / "state").c_str(), 1);
    }

    void SaveJob(const fs::path& folder, const std::vector<std::string>& commands, int backup)
    {
        CWendoDoc doc;
        doc.Report = 1;
        doc.Backup = backup;
        for (const std::string& c : commands) {
            doc.Commands.emplace_back(std::string_view(c));
        }
        doc.FileSet.Append(CFileList("site/*.htm", 1, 0, 0, nullptr));
        ASSERT_TRUE(doc.OnSaveDocument((folder / "job.wdo").string()));
    }

    Outcome WendoIn(const fs::path& folder, const std::string& arguments) const
    {
        const fs::path previous = fs::current_path();
        fs::current_path(folder);
        Outcome run = Wendo(arguments + " </dev/null");
        fs::current_path(previous);
        return run;
    }
};

const std::vector<std::string> kCommands = {
    "FINDREPL CASESENS DELIMITER ~cat~ VALUE ~dog~",
    "FINDREPL DELIMITER ~<!--B-->~ DELIMITER ~<!--E-->~ VALUE ~gone~",
};

// Lines that make a file long enough for two hunks.
std::string Lines(int from, int to)
{
    std::string text;
    for (int i = from; i < to; ++i) {
        text += "line " + std::to_string(i) + "\n";
    }
    return text;
}

TEST_F(PreviewUndoTest, DiffAppliedWithPatchGivesTheRunsBytes)
{
    const fs::path examples =
        (fs::path(WENDO_TEST_DATA) / "../../../../examples").lexically_normal();
    struct Site
    {
        const char* name;
        std::function<void(const fs::path&)> make;
    };
    const std::vector<Site> sites = {
        {"the example",
         [&](const fs::path& to) {
             fs::create_directories(to);
             fs::copy(examples / "site", to / "site", fs::copy_options::recursive);
             fs::copy(examples / "site.wdo", to / "job.wdo");
         }},
        {"a generated site",
         [&](const fs::path& to) {
             WriteFile(to / "site/hunks.htm", "a cat\n" + Lines(0, 30) + "cat\n" + Lines(30, 32));
             WriteFile(to / "site/nofinal.htm", "one\ntwo cat");
             WriteFile(to / "site/crlf.htm", "a cat\r\nb\r\n");
             WriteFile(to / "site/latin1.htm", "caf\xe9 cat\n\xff");
             WriteFile(to / "site/sub/dir/block.htm", "x\n<!--B-->\nold\nold2\n<!--E-->\ny\n");
             WriteFile(to / "site/my page.htm", "cat\n");
             WriteFile(to / "site/nochange.htm", "dog\n");
             WriteFile(to / "site/nul.htm", std::string("cat\0x\n", 6));
             SaveJob(to, kCommands, 1);
         }},
    };
    for (const Site& site : sites) {
        SCOPED_TRACE(site.name);
        const fs::path previewed = m_dir / "previewed";
        const fs::path run = m_dir / "run";
        fs::remove_all(previewed);
        fs::remove_all(run);
        site.make(previewed);
        fs::copy(previewed, run, fs::copy_options::recursive);
        const Tree before = TreeOf(previewed);

        const Outcome diff = WendoIn(previewed, "--diff job.wdo");
        ASSERT_EQ(diff.status, 0) << diff.err;
        EXPECT_EQ(TreeOf(previewed), before) << "no file, backup or report is written";
        ASSERT_EQ(WendoIn(run, "--quiet job.wdo").status, 0);

        WriteFile(m_dir / "changes.patch", diff.out);
        const std::string patch = "cd '" + previewed.string() + "' && patch -p1 -s -N <'" +
                                  (m_dir / "changes.patch").string() + "'";
        ASSERT_EQ(std::system(patch.c_str()), 0) << diff.out;
        Tree expected = TreeOf(run);
        Tree patched = TreeOf(previewed);
        if (expected.count("site/nul.htm") != 0) {
            EXPECT_NE(diff.out.find("Binary file site/nul.htm would change\n"), std::string::npos);
            expected.erase("site/nul.htm");
            patched.erase("site/nul.htm");
        }
        std::erase_if(expected, [](const auto& file) {
            return file.first.ends_with(".bak") || file.first.ends_with(".log");
        });
        EXPECT_EQ(patched, expected) << diff.out;
    }
}

TEST_F(PreviewUndoTest, UndoRestoresTheTreeAndLeavesFilesChangedSince)
{
    const fs::path site = m_dir / "w";
    WriteFile(site / "site/a.htm", "a cat\n");
    WriteFile(site / "site/deep/b.htm", "b cat cat");
    WriteFile(site / "site/edited.htm", "cat\n");
    WriteFile(site / "site/same.htm", "dog\n");
    WriteFile(site / "real/linked.txt", "linked cat\n");
    fs::create_symlink("../real/linked.txt", site / "site/link.htm");
    fs::permissions(site / "site/a.htm", fs::perms(0640));
    SaveJob(site, kCommands, 1);
    const Tree before = TreeOf(site);

    const Outcome run = WendoIn(site, "--quiet job.wdo");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("To take this run back: wendo-run --undo job.wdo"), std::string::npos);
    ASSERT_EQ(ReadFile(site / "site/deep/b.htm"), "b dog dog");
    WriteFile(site / "site/edited.htm", "edited after the run\n");

    const Outcome undo = WendoIn(site, "--undo job.wdo");
    EXPECT_EQ(undo.status, 1) << undo.out << undo.err;
    EXPECT_NE(undo.out.find("left      " + (site / "site/edited.htm").string() +
                            " (changed since the run)"),
              std::string::npos)
        << undo.out;
    EXPECT_NE(undo.out.find("3 restored, 1 left"), std::string::npos) << undo.out;
    Tree expected = before;
    expected["site/edited.htm"] = "edited after the run\n";
    expected["site/edited.htm.bak"] = "cat\n";
    std::erase_if(expected, [](const auto& file) { return file.first == "job.wdo"; });
    Tree after = TreeOf(site);
    std::erase_if(
        after, [](const auto& file) { return file.first == "job.wdo" || file.first == "job.log"; });
    EXPECT_EQ(after, expected) << "the run's other backups are gone, the link is a link";
    EXPECT_EQ(fs::status(site / "site/a.htm").permissions(), fs::perms(0640));

    const Outcome again = WendoIn(site, "--undo job.wdo");
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.err.find("nothing to undo"), std::string::npos);
}

TEST_F(PreviewUndoTest, RunWithoutBackupsKeepsNoJournalAndSaysSo)
{
    const fs::path site = m_dir / "w";
    WriteFile(site / "site/a.htm", "cat\n");
    SaveJob(site, kCommands, 1);
    ASSERT_EQ(WendoIn(site, "--quiet job.wdo").status, 0);
    ASSERT_TRUE(fs::exists(m_dir / "state/wendo"));
    EXPECT_FALSE(fs::is_empty(m_dir / "state/wendo"));

    WriteFile(site / "site/a.htm", "cat\n");
    SaveJob(site, kCommands, 0);
    const Outcome run = WendoIn(site, "--quiet job.wdo");
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("This run kept no backups: it cannot be undone.\n"), std::string::npos)
        << run.out;
    EXPECT_TRUE(fs::is_empty(m_dir / "state/wendo")) << "the older journal went too";
    EXPECT_EQ(WendoIn(site, "--undo job.wdo").status, 2);
    EXPECT_EQ(ReadFile(site / "site/a.htm"), "dog\n");
}

} // namespace
