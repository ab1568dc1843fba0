#include "diff_mode.h"

#include "engine/ParseProcess.h"
#include "engine/TextDiff.h"
#include "os/file.h"
#include "os/path.h"
#include "run_mode.h"

#include <filesystem>

namespace wendo::cli {

const char* const kDiffModeHelp =
    "--diff FILE.wdo runs the command file as a run that writes would, whatever WRITE2FILE\n"
    "says, but writes nothing (no file, no backup, no report, no undo journal): for each file\n"
    "the run would change it prints a unified diff (--- a/PATH, +++ b/PATH, three lines of\n"
    "context) on standard output, PATH relative to the command file's folder when the file\n"
    "lies under it, else absolute; \"patch -p1\" in that folder gives exactly the bytes a run\n"
    "would write. A file holding a NUL byte gets the line \"Binary file PATH would change\".\n"
    "Progress and the totals go to standard error. Exit status as for a run.\n";

namespace {

// Runs on the worker thread; the main thread never writes to the output descriptor.
class DiffPrinter final : public WriteCapture
{
public:
    DiffPrinter(std::filesystem::path folder, int outHandle)
        : m_folder(std::move(folder)), m_out(outHandle)
    {
    }

    bool Capture(const std::string& path, const std::string& oldText,
                 const std::string& newText) override
    {
        const std::string source = os::ToNative(path);
        std::string before;
        std::string after;
        // The bytes the run read, not the source again: it may have changed since.
        if (os::ReadWholeFile(os::ToNative(oldText), before) != os::FileError::None ||
            os::ReadWholeFile(os::ToNative(newText), after) != os::FileError::None) {
            return false;
        }
        const std::string name = Name(source);
        const std::string diff = HoldsNul(before) || HoldsNul(after)
                                     ? "Binary file " + name + " would change\n"
                                     : UnifiedDiff(name, before, after);
        // A closed output fails the file rather than the run: the totals still tell.
        return os::WriteFile(m_out, diff.data(), diff.size());
    }

private:
    std::string Name(const std::string& source) const
    {
        const std::filesystem::path file = std::filesystem::path(source).lexically_normal();
        const std::filesystem::path relative = file.lexically_relative(m_folder);
        if (!relative.empty() && *relative.begin() != ".." && relative.is_relative()) {
            return relative.string();
        }
        return file.string();
    }

    std::filesystem::path m_folder;
    int m_out;
};

} // namespace

int RunDiffMode(const std::string& path, RunFlags flags, bool inTerminal, bool errTerminal,
                int outHandle, std::ostream& err)
{
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::absolute(path, error).lexically_normal().parent_path();
    DiffPrinter printer(folder, outHandle);
    flags.capture = &printer;
    flags.dryRun = false;
    return RunRunMode(path, flags, inTerminal, errTerminal, err, err);
}

} // namespace wendo::cli
