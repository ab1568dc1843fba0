// The report reader on any bytes: the progress view's records are filled or the read fails.
#include "FuzzSupport.h"
#include "engine/Report.h"
#include "model/WendoDoc.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = fuzz::ScratchPath(".log");
    if (!fuzz::WriteScratch(path, data, size)) {
        return 0;
    }
    wendo::CWendoDoc doc;
    doc.Report = 1;
    doc.ReportPath = path;
    wendo::LoadReport(doc, nullptr);
    std::remove(path.c_str());
    return 0;
}
