// The command language: any line parses to a command or to an error, never a crash; a command
// that parsed is rebuilt into a text that parses again to the same type (a saved command file
// always loads again).
#include "model/ParseCmdList.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const wendo::CParseCmdList command(text);
    if (command.ErrorFlag != 0) {
        return 0;
    }
    const wendo::CParseCmdList again(std::string_view(command.Text));
    if (again.ErrorFlag != 0 || again.Type != command.Type) {
        std::abort();
    }
    return 0;
}
