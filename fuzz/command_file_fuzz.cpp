// The command file reader on any bytes: the load succeeds or fails (bad commands answered
// No), never crashes; a loaded document saves and loads again.
#include "FuzzSupport.h"
#include "model/WendoDoc.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = fuzz::ScratchPath(".wdo");
    static const std::string saved = fuzz::ScratchPath("-saved.wdo");
    if (!fuzz::WriteScratch(path, data, size)) {
        return 0;
    }
    wendo::CWendoDoc doc;
    doc.Report = 0; // no report beside the scratch file is looked at
    if (doc.OnOpenDocument(path) && doc.OnSaveDocument(saved)) {
        wendo::CWendoDoc again;
        if (!again.OnOpenDocument(saved) || again.Commands.size() != doc.Commands.size()) {
            std::abort();
        }
    }
    std::remove(path.c_str());
    std::remove(saved.c_str());
    return 0;
}
