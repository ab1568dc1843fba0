// The text and tag commands on any file content: the first line of the input is the command,
// the rest the file. The command loop ends with a result, and a file it did not change keeps
// every byte.
#include "FuzzSupport.h"
#include "engine/Notifications.h"
#include "engine/ParseProcess.h"
#include "model/ParseCmd.h"
#include "os/file.h"
#include "os/path.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = fuzz::ScratchPath(".htm");
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t eol = input.find('\n');
    if (eol == std::string::npos) {
        return 0;
    }
    const wendo::CParseCmd command(std::string_view(input).substr(0, eol));
    if (command.ErrorFlag != 0) {
        return 0;
    }
    const std::string content = input.substr(eol + 1);
    if (!fuzz::WriteScratch(path, reinterpret_cast<const std::uint8_t*>(content.data()),
                            content.size())) {
        return 0;
    }
    wendo::CWendoDoc doc;
    doc.Rewind = input.size() % 2 == 0 ? 1 : 0;
    doc.Run.ResetCounters(1);
    {
        wendo::CParseProcess process(doc, nullptr, wendo::RunSettings{false, {}});
        const std::string kept = os::FromNative(path);
        const int16_t result = process.ProcessCommands(kept, {&command});
        if (result == wendo::FileResult::UNCHANGED) {
            std::string after;
            if (os::ReadWholeFile(path, after) != os::FileError::None || after != content) {
                std::abort();
            }
        }
        process.DeleteWorkFiles();
    }
    std::remove(path.c_str());
    return 0;
}
