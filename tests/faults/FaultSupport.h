// Support for the fault suites: a private box per test in which wendo-run works on a small
// site, runs of the built program (optionally under strace's fault injection or with dropped
// privileges), and the checks that every suite makes afterwards: each source is wholly its
// old or its new text, each backup is absent or the old text, and nothing else was left.
//
// The boxes live on a tmpfs (/dev/shm) when there is one: a run flushes every file it
// replaces, and on a disk those flushes would make the sweeps of hundreds of runs slow.
// WENDO_FAULTS_DIR overrides the place.
#pragma once

#include "model/WendoDoc.h"
#include "tessel/FileList.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace faults {

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Sweeps visit every kill point in a normal build and every few under a sanitizer, where a
// run is several times slower.
constexpr int kSweepStride = kSanitized ? 10 : 1;

inline bool LongTestsAsked()
{
    const char* v = std::getenv("WENDO_LONG_TESTS");
    return v != nullptr && v[0] != '\0' && std::string(v) != "0";
}

inline std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline fs::path BoxParent()
{
    if (const char* dir = std::getenv("WENDO_FAULTS_DIR"); dir != nullptr && dir[0] != '\0') {
        return dir;
    }
    struct statfs sfs
    {
    };
    constexpr long kTmpfsMagic = 0x01021994;
    if (::statfs("/dev/shm", &sfs) == 0 && static_cast<long>(sfs.f_type) == kTmpfsMagic &&
        ::access("/dev/shm", W_OK) == 0) {
        return "/dev/shm";
    }
    return fs::temp_directory_path();
}

inline bool IsRoot()
{
    return ::geteuid() == 0;
}

// How a run ended: its exit status, or 128 + the signal that ended it.
struct Outcome
{
    int status = -1;
    std::string out; // standard output and error together
    bool Killed() const { return status == 128 + 9; }
};

// The line that the run printed for a file ("" when none).
inline std::string LineOf(const Outcome& run, const std::string& rel)
{
    const auto at = run.out.find("\"" + rel + "\"");
    return at == std::string::npos ? "" : run.out.substr(at, run.out.find('\n', at) - at);
}

// A total of the report's header ("TOTALEXCLUDE"); -1 when it is missing.
inline long ReportTotal(const std::string& report, const std::string& key)
{
    const auto at = report.find("\n" + key + "=");
    return at == std::string::npos ? -1 : std::stol(report.substr(at + key.size() + 2));
}

// One file of a site: its path under the box and its text before and after a full run.
struct SiteFile
{
    std::string rel;
    std::string before;
    std::string after;
    bool Changes() const { return before != after; }
};

// The command every generated site is run with: each "a" becomes "b".
inline const std::string kAtoB = "FINDREPL CASESENS DELIMITER ~a~ VALUE ~b~";

inline std::string AtoB(std::string text)
{
    std::replace(text.begin(), text.end(), 'a', 'b');
    return text;
}

// A private folder per test:  <dir>/box holds the site and the command file (the run's
// current folder), <dir>/tmp is the run's TMPDIR, <dir>/out.txt what it printed.
class Box
{
public:
    // parent: where the box is made; outDir: where out.txt goes (default: beside the box).
    explicit Box(const fs::path& parent = BoxParent(), const fs::path& outDir = {})
    {
        std::random_device rd;
        m_dir =
            parent / ("wendo-faults-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
        m_outDir = outDir.empty() ? m_dir : outDir;
        fs::create_directories(Root());
        fs::create_directories(Tmp());
    }
    Box(const Box&) = delete;
    Box& operator=(const Box&) = delete;
    ~Box()
    {
        // Folders a test locked must open again before they can be removed.
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(
                 m_dir, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec)) {
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
            }
        }
        ::chmod(m_dir.c_str(), 0700);
        for (const fs::path& p : {Root(), Tmp()}) {
            ::chmod(p.c_str(), 0700);
        }
        fs::remove_all(m_dir, ec);
    }

    fs::path Dir() const { return m_dir; }
    fs::path Root() const { return m_dir / "box"; }
    fs::path Tmp() const { return m_dir / "tmp"; }
    fs::path Path(const std::string& rel) const { return Root() / rel; }

    void Write(const std::string& rel, const std::string& bytes) const
    {
        WriteFile(Path(rel), bytes);
    }
    std::string Read(const std::string& rel) const { return ReadFile(Path(rel)); }

    // Saves box/job.wdo: the commands on the paths (relative to the box), backups with
    // extension "bak" and a report unless options say otherwise.
    void SaveJob(const std::vector<std::string>& commands, const std::vector<CFileList>& paths,
                 const std::function<void(wendo::CWendoDoc&)>& options = {}) const
    {
        wendo::CWendoDoc doc;
        doc.Report = 1;
        doc.Backup = 1;
        doc.BackupExt = "bak";
        for (const std::string& c : commands) {
            doc.Commands.emplace_back(std::string_view(c));
            ASSERT_EQ(doc.Commands.back().ErrorFlag, 0) << c;
        }
        for (const CFileList& p : paths) {
            doc.FileSet.Append(p);
        }
        if (options) {
            options(doc);
        }
        ASSERT_TRUE(doc.OnSaveDocument(Path("job.wdo").string()));
    }

    // Runs wendo-run with arguments in the box. prefix goes before the program (strace,
    // setpriv ...). Standard input is empty, so every question is answered No unless --yes.
    Outcome Run(const std::vector<std::string>& arguments,
                const std::vector<std::string>& prefix = {}) const
    {
        const std::string program = std::string(WENDO_BIN_DIR) + "/wendo-run";
        std::vector<std::string> args = prefix;
        args.push_back(program);
        args.insert(args.end(), arguments.begin(), arguments.end());
        const fs::path outPath = m_outDir / "out.txt";
        const std::string root = Root().string();
        const std::string tmp = Tmp().string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("TMPDIR", tmp.c_str(), 1);
            if (!prefix.empty()) {
                // The leak checker cannot work in a traced process.
                const char* asan = std::getenv("ASAN_OPTIONS");
                const std::string options =
                    std::string(asan != nullptr ? asan : "") + ":detect_leaks=0";
                ::setenv("ASAN_OPTIONS", options.c_str(), 1);
            }
            const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            const int in = ::open("/dev/null", O_RDONLY);
            if (out < 0 || in < 0 || ::chdir(root.c_str()) != 0) {
                ::_exit(127);
            }
            ::dup2(out, STDOUT_FILENO);
            ::dup2(out, STDERR_FILENO);
            ::dup2(in, STDIN_FILENO);
            std::vector<char*> argv;
            for (std::string& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
        Outcome outcome;
        int raw = 0;
        ::waitpid(pid, &raw, 0);
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        outcome.out = ReadFile(outPath);
        return outcome;
    }

    // Gives the box to the unprivileged user the runs of a test then take on.
    void GiveAway(uid_t uid) const
    {
        for (const fs::path& p : {m_dir, Root(), Tmp()}) {
            (void)::chown(p.c_str(), uid, uid);
        }
        for (const auto& e : fs::recursive_directory_iterator(Root())) {
            (void)::lchown(e.path().c_str(), uid, uid);
        }
    }

    // Every entry under the box, by path relative to it ("/" after folders).
    std::set<std::string> Listing() const { return ListOf(Root()); }
    std::set<std::string> TmpListing() const { return ListOf(Tmp()); }

private:
    static std::set<std::string> ListOf(const fs::path& top)
    {
        std::set<std::string> names;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(
                 top, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            std::string rel = it->path().lexically_relative(top).string();
            if (it->is_directory(ec) && !it->is_symlink(ec)) {
                rel += '/';
            }
            names.insert(rel);
        }
        return names;
    }

    fs::path m_dir;
    fs::path m_outDir;
};

// The site most suites run on: fifty files in nested folders, of sizes from a few bytes to a
// few hundred kilobytes; one in five holds no "a" and stays as it is.
inline std::vector<SiteFile> MakeSite(const Box& box, int count = 50, unsigned seed = 7)
{
    std::mt19937 random(seed);
    std::vector<SiteFile> files;
    for (int i = 0; i < count; ++i) {
        SiteFile f;
        f.rel = "site/d" + std::to_string(i % 3) + (i % 2 == 0 ? "/deep" : "") + "/f" +
                std::to_string(i) + ".htm";
        const std::size_t size = i == 7 ? 300000 : 1 + random() % 4000;
        const std::string letters = i % 5 == 4 ? "bcdxyz\n" : "abcxyz \n";
        f.before = "<p>file " + std::to_string(i) + "</p>\n";
        while (f.before.size() < size) {
            f.before += letters[random() % letters.size()];
        }
        f.after = AtoB(f.before);
        box.Write(f.rel, f.before);
        files.push_back(f);
    }
    return files;
}

inline void SaveSiteJob(const Box& box, const std::function<void(wendo::CWendoDoc&)>& more = {})
{
    box.SaveJob({kAtoB}, {CFileList("site/*.htm", 1, 0, 0, nullptr)}, more);
}

inline void ResetSite(const Box& box, const std::vector<SiteFile>& files)
{
    fs::remove_all(box.Path("site"));
    fs::remove(box.Path("job.log"));
    for (const SiteFile& f : files) {
        box.Write(f.rel, f.before);
    }
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(box.Tmp(), ec)) {
        fs::remove_all(e.path(), ec);
    }
}

// What a run may leave: the site's files and their backups, the command file and its report,
// and in TMPDIR at most the run's private folder (none after a clean end).
struct Leftovers
{
    bool cleanEnd = true;
    std::set<std::string> alsoAllowed;
};

// The checks after every case. Returns how many files hold their new text.
inline int ExpectWholeFiles(const Box& box, const std::vector<SiteFile>& files,
                            const Leftovers& leftovers = {})
{
    int changed = 0;
    std::set<std::string> allowed = {"job.wdo", "job.log"};
    allowed.insert(leftovers.alsoAllowed.begin(), leftovers.alsoAllowed.end());
    for (const SiteFile& f : files) {
        const std::string text = box.Read(f.rel);
        EXPECT_TRUE(text == f.before || text == f.after)
            << f.rel << " is neither old nor new (" << text.size() << " bytes)";
        const fs::path backup = box.Path(f.rel + ".bak");
        if (fs::exists(backup)) {
            EXPECT_EQ(ReadFile(backup), f.before) << f.rel << ".bak";
        } else if (f.Changes() && text == f.after) {
            ADD_FAILURE() << f.rel << " was replaced without its backup";
        }
        changed += f.Changes() && text == f.after ? 1 : 0;
        allowed.insert(f.rel);
        allowed.insert(f.rel + ".bak");
        for (fs::path p = fs::path(f.rel).parent_path(); !p.empty(); p = p.parent_path()) {
            allowed.insert(p.string() + "/");
        }
    }
    for (const std::string& name : box.Listing()) {
        EXPECT_TRUE(allowed.count(name) == 1) << "left behind: " << name;
    }
    const std::set<std::string> tmp = box.TmpListing();
    if (leftovers.cleanEnd) {
        EXPECT_TRUE(tmp.empty()) << "a clean end left " << *tmp.begin() << " in TMPDIR";
    } else {
        std::size_t folders = 0;
        for (const std::string& name : tmp) {
            const bool privateFolder = name.rfind("wendo-", 0) == 0 && name.back() == '/' &&
                                       name.find('/') == name.size() - 1;
            const bool inside = name.rfind("wendo-", 0) == 0 && name.find('/') < name.size() - 1;
            EXPECT_TRUE(privateFolder || inside) << "left behind in TMPDIR: " << name;
            folders += privateFolder ? 1 : 0;
        }
        EXPECT_LE(folders, 1u);
    }
    return changed;
}

} // namespace faults
