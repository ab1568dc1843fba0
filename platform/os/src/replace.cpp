#include "os/replace.h"

#include <acl/libacl.h>
#include <algorithm>
#include <atomic>
#include <attr/libattr.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace os {
namespace {

constexpr std::string_view kTempMark = ".wendo-";
constexpr std::string_view kRecoveryMark = ".wendo-old-";
constexpr std::size_t kSuffixLength = 6;
// A leftover that a live run holds is never touched, nor one younger than this: its maker
// may not hold it yet.
constexpr time_t kLeftoverAge = 120;
constexpr std::size_t kChunk = std::size_t{1} << 20;

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string BaseOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void SyncFolder(const std::string& folder)
{
    int d = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d >= 0) {
        ::fsync(d); // best effort: the rename itself is already atomic
        ::close(d);
    }
}

class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool IsSuffix(std::string_view s)
{
    return s.size() == kSuffixLength && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

std::string RandomSuffix()
{
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string s(kSuffixLength, 'X');
    for (char& c : s) {
        c = kLetters[random() % (sizeof kLetters - 1)];
    }
    return s;
}

// A new temporary file in a folder, removed on destruction unless committed. It is held
// (flock) while open, so that a sweep of leftovers never takes a live run's file. Named
// NAME.wendo-XXXXXX after the file it stands in for, or stage-XXXXXX in the run's own folder.
class TempFile
{
public:
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    TempFile(int folder, const std::string& besideName, bool staged) : m_folder(folder)
    {
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            const std::string suffix = RandomSuffix();
            if (staged) {
                m_name = "stage-" + suffix;
            } else if (besideName.size() + kTempMark.size() + kSuffixLength > NAME_MAX) {
                // A name of NAME_MAX bytes leaves no room for a suffix.
                m_name = std::string(kTempMark) + suffix;
            } else {
                m_name = besideName + std::string(kTempMark) + suffix;
            }
            m_fd = ::openat(folder, m_name.c_str(),
                            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (m_fd < 0 && errno != EEXIST) {
                break;
            }
        }
        if (m_fd < 0) {
            m_name.clear();
            return;
        }
        (void)::flock(m_fd, LOCK_EX | LOCK_NB);
    }
    ~TempFile()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (!m_name.empty()) {
            ::unlinkat(m_folder, m_name.c_str(), 0);
        }
    }
    int fd() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    const std::string& name() const { return m_name; }

    // Flushes and renames the file onto name in folder; the descriptor stays open (and held)
    // when keepOpen. True on success.
    bool CommitTo(int folder, const std::string& name, bool keepOpen = false)
    {
        return ::fsync(m_fd) == 0 && RenameTo(folder, name, keepOpen);
    }
    // The same for a file already flushed.
    bool RenameTo(int folder, const std::string& name, bool keepOpen = false)
    {
        if (!keepOpen) {
            const int fd = m_fd;
            m_fd = -1;
            if (::close(fd) != 0) {
                return false;
            }
        }
        if (::renameat(m_folder, m_name.c_str(), folder, name.c_str()) != 0) {
            return false;
        }
        m_name.clear();
        return true;
    }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_folder;
    std::string m_name;
    int m_fd = -1;
};

bool WriteAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

enum class Copy
{
    Done,
    Failed,
    Stopped,
};

// Copies in from its start to out's current position; stop is asked between pieces.
Copy CopyFrom(int in, int out, const std::function<bool()>& stop, std::int64_t* copied = nullptr)
{
    // Not zero-filled: every byte written was read first, and a write-back per file made the
    // clearing of a megabyte show in profiles.
    const auto buf = std::make_unique_for_overwrite<char[]>(kChunk);
    off_t at = 0;
    for (;;) {
        // Between pieces only: a small file is copied without asking.
        if (at > 0 && stop && stop()) {
            return Copy::Stopped;
        }
        ssize_t r = ::pread(in, buf.get(), kChunk, at);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            return Copy::Failed;
        }
        if (r == 0) {
            break;
        }
        if (!WriteAll(out, buf.get(), static_cast<size_t>(r))) {
            return Copy::Failed;
        }
        at += r;
    }
    if (copied != nullptr) {
        *copied = at;
    }
    return Copy::Done;
}

Copy CopyFromPath(const std::string& from, int out, const std::function<bool()>& stop)
{
    const Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    return in.get() < 0 ? Copy::Failed : CopyFrom(in.get(), out, stop);
}

// Writes bytes held in memory in pieces, asking stop between them as a copy does.
Copy WriteBytes(const std::string& bytes, int out, const std::function<bool()>& stop)
{
    for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
        if (at > 0 && stop && stop()) {
            return Copy::Stopped;
        }
        if (!WriteAll(out, bytes.data() + at, std::min(kChunk, bytes.size() - at))) {
            return Copy::Failed;
        }
    }
    return Copy::Done;
}

// The old content: the copy the run read when there is one, else the source itself.
Copy CopyOld(const HeldSource& source, const WriteBackRequest& request, int out)
{
    if (request.oldBytes != nullptr) {
        return WriteBytes(*request.oldBytes, out, request.stop);
    }
    return request.oldText.empty() ? CopyFrom(source.Fd(), out, request.stop)
                                   : CopyFromPath(std::string(request.oldText), out, request.stop);
}

// The new content, from memory or from its file; its size in size.
Copy CopyNew(const WriteBackRequest& request, int out, const std::function<bool()>& stop,
             std::int64_t& size)
{
    if (request.newBytes != nullptr) {
        size = static_cast<std::int64_t>(request.newBytes->size());
        return WriteBytes(*request.newBytes, out, stop);
    }
    const Descriptor in(::open(std::string(request.newText).c_str(), O_RDONLY | O_CLOEXEC));
    return in.get() < 0 ? Copy::Failed : CopyFrom(in.get(), out, stop, &size);
}

// Gives a new file the owner, group, extended attributes, ACL and mode of the source. False
// when something could not be given (the mode always can).
bool KeepWhatTheFileIs(const HeldSource& source, int fd)
{
    bool kept = true;
    // fchown clears set-id bits, so the mode comes last; the ACL's mask follows the mode.
    if (::fchown(fd, source.owner, source.group) != 0) {
        kept = false;
        (void)::fchown(fd, static_cast<uid_t>(-1), source.group);
    }
    // An ACL is kept as an extended attribute: a file without any has none to give.
    if (::flistxattr(source.Fd(), nullptr, 0) != 0) {
        if (::attr_copy_fd("", source.Fd(), "", fd, nullptr, nullptr) != 0) {
            kept = false;
        }
        if (::perm_copy_fd("", source.Fd(), "", fd, nullptr) != 0) {
            kept = false;
        }
    }
    ::fchmod(fd, source.mode & 07777);
    return kept;
}

void KeepOwnerAndMode(int fd, const struct stat& st)
{
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        (void)::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    }
    ::fchmod(fd, st.st_mode & 07777);
}

// The file a path finally names: links are followed, the link itself is never replaced.
std::string RealTarget(const std::string& path)
{
    struct stat lst
    {
    };
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

bool SameContent(int a, int b)
{
    struct stat sa
    {
    };
    struct stat sb
    {
    };
    if (::fstat(a, &sa) != 0 || ::fstat(b, &sb) != 0 || sa.st_size != sb.st_size) {
        return false;
    }
    const auto x = std::make_unique_for_overwrite<char[]>(kChunk);
    const auto y = std::make_unique_for_overwrite<char[]>(kChunk);
    for (off_t at = 0; at < sa.st_size;) {
        const ssize_t r = ::pread(a, x.get(), kChunk, at);
        if (r <= 0 || ::pread(b, y.get(), static_cast<size_t>(r), at) != r ||
            std::memcmp(x.get(), y.get(), static_cast<size_t>(r)) != 0) {
            return false;
        }
        at += r;
    }
    return true;
}

// Writes the new content into the file itself, after the old content is flushed to a recovery
// copy beside it (held while the write goes on). A failed write puts the old content back.
WriteBackOutcome WriteInPlace(const HeldSource& source, const WriteBackRequest& request)
{
    WriteBackOutcome out;
    out.inPlace = true;
    out.error = WriteBackError::Replace;
    const std::string& name = source.Name();
    if (name.size() + kRecoveryMark.size() + kSuffixLength > NAME_MAX) {
        return out; // no recovery copy can be named: the file stays as it is
    }
    TempFile copy(source.Folder(), name, false);
    if (!copy.valid() || CopyOld(source, request, copy.fd()) != Copy::Done) {
        return out;
    }
    const std::string recovery =
        name + std::string(kRecoveryMark) + copy.name().substr(copy.name().size() - kSuffixLength);
    if (!copy.CommitTo(source.Folder(), recovery, true)) {
        return out;
    }
    const Descriptor held(copy.Release());
    ::fsync(source.Folder());
    if (!source.Unchanged()) {
        ::unlinkat(source.Folder(), recovery.c_str(), 0);
        out.error = WriteBackError::Changed;
        return out;
    }
    const Descriptor target(
        ::openat(source.Folder(), name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st
    {
    };
    if (target.get() < 0 || ::fstat(target.get(), &st) != 0 || st.st_ino != source.inode ||
        st.st_dev != source.device) {
        ::unlinkat(source.Folder(), recovery.c_str(), 0);
        return out;
    }
    std::int64_t size = 0;
    const bool written = CopyNew(request, target.get(), {}, size) == Copy::Done &&
                         ::ftruncate(target.get(), size) == 0 && ::fsync(target.get()) == 0;
    if (!written) {
        std::int64_t oldSize = 0;
        const bool putBack = ::lseek(target.get(), 0, SEEK_SET) == 0 &&
                             CopyFrom(held.get(), target.get(), {}, &oldSize) == Copy::Done &&
                             ::ftruncate(target.get(), oldSize) == 0 && ::fsync(target.get()) == 0;
        if (!putBack) {
            out.error = WriteBackError::Kept;
            out.keptAs = recovery;
            return out;
        }
    }
    ::unlinkat(source.Folder(), recovery.c_str(), 0);
    if (request.deferred != nullptr) {
        request.deferred->Add(source.FolderPath());
    } else {
        ::fsync(source.Folder());
    }
    out.error = written ? WriteBackError::None : WriteBackError::Replace;
    return out;
}

} // namespace

void PendingFolderSyncs::Add(const std::string& folder)
{
    if (std::find(m_folders.begin(), m_folders.end(), folder) == m_folders.end()) {
        m_folders.push_back(folder);
    }
}

void PendingFolderSyncs::Flush()
{
    for (const std::string& folder : m_folders) {
        SyncFolder(folder);
    }
    m_folders.clear();
}

SourceError HeldSource::Open(std::string_view pathView)
{
    Close();
    const std::string path(pathView);
    if (path.empty() || path.back() == '/' || path.find('\0') != std::string::npos) {
        return SourceError::CannotOpen;
    }
    m_namedFolderPath = FolderOf(path);
    const int named = ::open(m_namedFolderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (named < 0) {
        return SourceError::CannotOpen;
    }
    struct stat st
    {
    };
    if (::fstatat(named, BaseOf(path).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        ::close(named);
        return SourceError::CannotOpen;
    }
    if (S_ISLNK(st.st_mode)) {
        // The link is followed here, once; from now on the file it named is the one held.
        m_namedFolder = named;
        const std::string target = RealTarget(path);
        m_folderPath = FolderOf(target);
        m_name = BaseOf(target);
        m_folder = ::open(m_folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_folder < 0 || ::fstatat(m_folder, m_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            return SourceError::CannotOpen;
        }
    } else {
        m_folder = named;
        m_folderPath = m_namedFolderPath;
        m_name = BaseOf(path);
    }
    // Checked before the open too: opening a device may have effects of its own.
    if (!S_ISREG(st.st_mode)) {
        return S_ISLNK(st.st_mode) ? SourceError::CannotOpen : SourceError::NotRegular;
    }
    m_fd = ::openat(m_folder, m_name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        return SourceError::CannotOpen;
    }
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        Close();
        return SourceError::NotRegular;
    }
    const int flags = ::fcntl(m_fd, F_GETFL);
    ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
    device = st.st_dev;
    inode = st.st_ino;
    mode = st.st_mode;
    owner = st.st_uid;
    group = st.st_gid;
    links = st.st_nlink;
    m_size = st.st_size;
    m_mtimeSec = st.st_mtim.tv_sec;
    m_mtimeNsec = st.st_mtim.tv_nsec;
    return SourceError::None;
}

HeldSource::HeldSource(HeldSource&& other) noexcept
{
    *this = std::move(other);
}

HeldSource& HeldSource::operator=(HeldSource&& other) noexcept
{
    if (this != &other) {
        Close();
        device = other.device;
        inode = other.inode;
        mode = other.mode;
        owner = other.owner;
        group = other.group;
        links = other.links;
        m_fd = std::exchange(other.m_fd, -1);
        m_folder = std::exchange(other.m_folder, -1);
        m_namedFolder = std::exchange(other.m_namedFolder, -1);
        m_name = std::move(other.m_name);
        m_folderPath = std::move(other.m_folderPath);
        m_namedFolderPath = std::move(other.m_namedFolderPath);
        m_size = other.m_size;
        m_mtimeSec = other.m_mtimeSec;
        m_mtimeNsec = other.m_mtimeNsec;
    }
    return *this;
}

void HeldSource::Close()
{
    for (int* fd : {&m_fd, &m_folder, &m_namedFolder}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

bool HeldSource::Unchanged() const
{
    struct stat st
    {
    };
    return m_folder >= 0 && ::fstatat(m_folder, m_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(st.st_mode) && st.st_dev == device && st.st_ino == inode &&
           st.st_size == m_size && st.st_mtim.tv_sec == m_mtimeSec &&
           st.st_mtim.tv_nsec == m_mtimeNsec;
}

std::string LinkTarget(std::string_view path)
{
    return RealTarget(std::string(path));
}

// One file of a batch: its source, and its temporaries written but not yet flushed.
struct CommitBatch::Staged
{
    HeldSource owned;
    const HeldSource* source = nullptr;
    std::unique_ptr<Descriptor> otherBackupFolder; // a backup outside the source's folder
    int backupFolder = -1;
    std::string backupFolderPath;
    std::string backupName;
    std::unique_ptr<TempFile> backup;
    std::unique_ptr<TempFile> text;
    WriteBackOutcome outcome;
};

namespace {

// Flushes many files' data with as few commits of the file system's journal as it can: every
// file's write-out is started first, then a few threads wait on the files' flushes side by
// side, so that the flushes mostly meet in the same transaction instead of taking one each.
// False for a file that could not be flushed.
std::vector<bool> FlushTogether(const std::vector<int>& files)
{
    constexpr std::size_t kFlushThreads = 8;
    constexpr std::size_t kFilesPerThread = 4;
    for (const int fd : files) {
        (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    // One byte per file, each written by one thread only, read after the joins.
    std::vector<char> flushed(files.size(), 0);
    std::atomic<std::size_t> next{0};
    auto flushSome = [&files, &flushed, &next] {
        for (std::size_t i = next.fetch_add(1); i < files.size(); i = next.fetch_add(1)) {
            flushed[i] = ::fdatasync(files[i]) == 0 ? 1 : 0;
        }
    };
    std::vector<std::thread> helpers;
    const std::size_t wanted = std::min(kFlushThreads - 1, files.size() / kFilesPerThread);
    try {
        while (helpers.size() < wanted) {
            helpers.emplace_back(flushSome);
        }
    } catch (const std::system_error&) {
        // Fewer helpers: the flushes still all happen, on the threads there are.
    }
    flushSome();
    for (std::thread& helper : helpers) {
        helper.join();
    }
    return {flushed.begin(), flushed.end()};
}

// Flushes each folder once, however many files were renamed into it.
void FlushFolders(std::vector<std::pair<std::string, int>>& folders, PendingFolderSyncs* deferred)
{
    std::sort(folders.begin(), folders.end());
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (i > 0 && folders[i].first == folders[i - 1].first) {
            continue;
        }
        if (deferred != nullptr) {
            deferred->Add(folders[i].first);
        } else {
            ::fsync(folders[i].second);
        }
    }
    folders.clear();
}

} // namespace

// The staging folder, held open for the batch's life.
class CommitBatch::Folder : public Descriptor
{
public:
    using Descriptor::Descriptor;
};

CommitBatch::CommitBatch() = default;
CommitBatch::~CommitBatch() = default;

std::size_t CommitBatch::Size() const
{
    return m_files.size();
}

bool CommitBatch::Stage(HeldSource&& source, const WriteBackRequest& request,
                        WriteBackOutcome& outcome)
{
    auto staged = std::make_unique<Staged>();
    staged->owned = std::move(source);
    staged->source = &staged->owned;
    return StageFile(std::move(staged), request, outcome);
}

bool CommitBatch::Stage(const HeldSource& source, const WriteBackRequest& request,
                        WriteBackOutcome& outcome)
{
    auto staged = std::make_unique<Staged>();
    staged->source = &source;
    return StageFile(std::move(staged), request, outcome);
}

int CommitBatch::StagingFolder(std::string_view path, std::uint64_t device)
{
    if (path.empty()) {
        return -1;
    }
    if (path != m_stagingPath) {
        m_stagingPath = std::string(path);
        m_staging = std::make_unique<Folder>(
            ::open(m_stagingPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        struct stat st
        {
        };
        m_stagingDevice =
            m_staging->get() >= 0 && ::fstat(m_staging->get(), &st) == 0 ? st.st_dev : 0;
    }
    return m_staging->get() >= 0 && m_stagingDevice == device ? m_staging->get() : -1;
}

bool CommitBatch::StageFile(std::unique_ptr<Staged> staged, const WriteBackRequest& request,
                            WriteBackOutcome& outcome)
{
    const HeldSource& source = *staged->source;
    outcome = WriteBackOutcome{};
    auto failed = [&outcome](WriteBackError error) {
        outcome.error = error;
        return false;
    };
    auto copyFailed = [&failed](Copy copied, WriteBackError error) {
        return failed(copied == Copy::Stopped ? WriteBackError::Stopped : error);
    };
    if (!source.IsOpen()) {
        return failed(request.backup.empty() ? WriteBackError::Replace : WriteBackError::Backup);
    }
    if (!source.Unchanged()) {
        return failed(WriteBackError::Changed);
    }
    // A read-only file is left alone, even by a user whom permissions do not stop.
    if ((source.mode & 0222) == 0 ||
        ::faccessat(source.Folder(), source.Name().c_str(), W_OK, 0) != 0) {
        return failed(WriteBackError::Replace);
    }
    // The run's private folder takes the temporaries when it shares the file system, so that
    // a run killed in the middle leaves nothing among the user's files.
    const int staging = StagingFolder(request.staging, source.device);

    if (!request.backup.empty()) {
        const std::string backup(request.backup);
        staged->backupFolderPath = FolderOf(backup);
        if (staged->backupFolderPath == source.NamedFolderPath()) {
            staged->backupFolder = source.NamedFolder();
        } else {
            staged->otherBackupFolder = std::make_unique<Descriptor>(
                ::open(staged->backupFolderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            staged->backupFolder = staged->otherBackupFolder->get();
        }
        if (staged->backupFolder < 0) {
            return failed(WriteBackError::Backup);
        }
        staged->backupName = BaseOf(backup);
        staged->backup = std::make_unique<TempFile>(staging >= 0 ? staging : staged->backupFolder,
                                                    staged->backupName, staging >= 0);
        if (!staged->backup->valid()) {
            return failed(WriteBackError::Backup);
        }
        const Copy copied = CopyOld(source, request, staged->backup->fd());
        if (copied != Copy::Done) {
            return copyFailed(copied, WriteBackError::Backup);
        }
        (void)KeepWhatTheFileIs(source, staged->backup->fd());
        m_bytes += source.Size();
    }

    // A new file would part the file's other names from it, or lose its owner.
    if (source.links <= 1 && (::geteuid() == 0 || source.owner == ::geteuid())) {
        staged->text = std::make_unique<TempFile>(staging >= 0 ? staging : source.Folder(),
                                                  source.Name(), staging >= 0);
        if (!staged->text->valid()) {
            return failed(WriteBackError::Replace);
        }
        std::int64_t size = 0;
        const Copy copied = CopyNew(request, staged->text->fd(), request.stop, size);
        if (copied != Copy::Done) {
            return copyFailed(copied, WriteBackError::Replace);
        }
        if (KeepWhatTheFileIs(source, staged->text->fd())) {
            m_bytes += size;
            m_files.push_back(std::move(staged));
            return true;
        }
        staged->text.reset();
    }
    // Written in place, at once, and only after its backup is on disk.
    if (staged->backup != nullptr) {
        if (!staged->backup->CommitTo(staged->backupFolder, staged->backupName)) {
            return failed(WriteBackError::Backup);
        }
        ::fsync(staged->backupFolder);
    }
    outcome = WriteInPlace(source, request);
    return false;
}

std::vector<WriteBackOutcome> CommitBatch::Commit(PendingFolderSyncs* deferred)
{
    std::vector<int> files;
    for (const auto& staged : m_files) {
        if (staged->backup != nullptr) {
            files.push_back(staged->backup->fd());
        }
        files.push_back(staged->text->fd());
    }
    const std::vector<bool> flushed = FlushTogether(files);
    std::size_t next = 0;
    for (const auto& staged : m_files) {
        const bool backupFlushed = staged->backup == nullptr || flushed[next++];
        if (!backupFlushed) {
            staged->outcome.error = WriteBackError::Backup;
        } else if (!flushed[next]) {
            staged->outcome.error = WriteBackError::Replace;
        }
        ++next;
    }

    // Every backup in place and on disk before any file of the batch is replaced.
    std::vector<std::pair<std::string, int>> folders;
    for (const auto& staged : m_files) {
        if (staged->backup == nullptr || staged->outcome.error != WriteBackError::None) {
            continue;
        }
        if (!staged->backup->RenameTo(staged->backupFolder, staged->backupName)) {
            staged->outcome.error = WriteBackError::Backup;
            continue;
        }
        folders.emplace_back(staged->backupFolderPath, staged->backupFolder);
    }
    FlushFolders(folders, nullptr);

    for (const auto& staged : m_files) {
        if (staged->outcome.error != WriteBackError::None) {
            continue;
        }
        const HeldSource& source = *staged->source;
        if (!source.Unchanged()) {
            staged->outcome.error = WriteBackError::Changed;
        } else if (!staged->text->RenameTo(source.Folder(), source.Name())) {
            staged->outcome.error = WriteBackError::Replace;
        } else {
            folders.emplace_back(source.FolderPath(), source.Folder());
        }
    }
    FlushFolders(folders, deferred);

    std::vector<WriteBackOutcome> outcomes;
    outcomes.reserve(m_files.size());
    for (auto& staged : m_files) {
        outcomes.push_back(std::move(staged->outcome));
    }
    m_files.clear();
    m_bytes = 0;
    return outcomes;
}

WriteBackOutcome CommitSource(const HeldSource& source, const WriteBackRequest& request)
{
    CommitBatch batch;
    WriteBackOutcome outcome;
    if (batch.Stage(source, request, outcome)) {
        outcome = batch.Commit(request.deferred).front();
    }
    return outcome;
}

WriteBackError WriteBack(std::string_view target, std::string_view from, std::string_view backup,
                         std::string_view staging, PendingFolderSyncs* deferred)
{
    HeldSource source;
    if (source.Open(target) != SourceError::None) {
        return backup.empty() ? WriteBackError::Replace : WriteBackError::Backup;
    }
    WriteBackRequest request;
    request.newText = from;
    request.backup = backup;
    request.staging = staging;
    request.deferred = deferred;
    const WriteBackError error = CommitSource(source, request).error;
    return error == WriteBackError::Kept ? WriteBackError::Replace : error;
}

LeftoverSweep SweepLeftovers(int folder)
{
    LeftoverSweep sweep;
    const int listing = ::dup(folder);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (dir == nullptr) {
        if (listing >= 0) {
            ::close(listing);
        }
        return sweep;
    }
    ::rewinddir(dir);
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view n(entry->d_name);
        const auto marked = [&n](std::string_view mark) {
            return n.size() >= mark.size() + kSuffixLength &&
                   n.substr(n.size() - kSuffixLength - mark.size(), mark.size()) == mark;
        };
        if ((marked(kTempMark) || marked(kRecoveryMark)) &&
            IsSuffix(n.substr(n.size() - kSuffixLength))) {
            names.emplace_back(n);
        }
    }
    ::closedir(dir);
    const time_t now = ::time(nullptr);
    for (const std::string& n : names) {
        struct stat st
        {
        };
        if (::fstatat(folder, n.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid() || now - st.st_mtime < kLeftoverAge) {
            continue;
        }
        const Descriptor fd(
            ::openat(folder, n.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (fd.get() < 0 || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            continue; // a live run's
        }
        const std::size_t recoveryAt = n.size() - kSuffixLength - kRecoveryMark.size();
        const bool recovery = n.size() > kRecoveryMark.size() + kSuffixLength &&
                              n.compare(recoveryAt, kRecoveryMark.size(), kRecoveryMark) == 0;
        if (!recovery) {
            if (::unlinkat(folder, n.c_str(), 0) == 0) {
                ++sweep.removed;
            }
            continue;
        }
        // The killed run was writing the file in place: when it holds the old content again
        // the copy has nothing more to give; otherwise only the user can tell which to keep.
        const Descriptor file(::openat(folder, n.substr(0, recoveryAt).c_str(),
                                       O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (file.get() >= 0 && SameContent(fd.get(), file.get()) &&
            ::unlinkat(folder, n.c_str(), 0) == 0) {
            ++sweep.removed;
        } else {
            sweep.kept.push_back(n);
        }
    }
    return sweep;
}

std::string KeptRecoveryFor(const LeftoverSweep& sweep, std::string_view name)
{
    for (const std::string& kept : sweep.kept) {
        if (kept.size() == name.size() + kRecoveryMark.size() + kSuffixLength &&
            kept.compare(0, name.size(), name) == 0) {
            return kept;
        }
    }
    return {};
}

int WriteFileAtomically(std::string_view pathView, std::string_view data)
{
    const std::string path = RealTarget(std::string(pathView));
    const Descriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) {
        return errno != 0 ? errno : EIO;
    }
    TempFile tmp(folder.get(), BaseOf(path), false);
    if (!tmp.valid()) {
        return errno != 0 ? errno : EIO;
    }
    struct stat st
    {
    };
    if (::fstatat(folder.get(), BaseOf(path).c_str(), &st, 0) == 0) {
        KeepOwnerAndMode(tmp.fd(), st);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(tmp.fd(), 0666 & ~mask);
    }
    if (!WriteAll(tmp.fd(), data.data(), data.size())) {
        return errno != 0 ? errno : EIO;
    }
    if (!tmp.CommitTo(folder.get(), BaseOf(path))) {
        return errno != 0 ? errno : EIO;
    }
    ::fsync(folder.get());
    return 0;
}

} // namespace os
