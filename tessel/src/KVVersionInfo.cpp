#include "tessel/KVVersionInfo.h"

#include "SystemInfo.h"

#include <cstring>

#ifndef WENDO_VERSION_TEXT
#define WENDO_VERSION_TEXT "0.0.0"
#endif

namespace {

constexpr const char* kNames[CKVVersionInfo::EntryCount] = {
    "Comments",     "CompanyName",    "FileDescription", "FileVersion",
    "InternalName", "LegalCopyright", "LegalTrademarks", "OriginalFilename",
    "PrivateBuild", "ProductName",    "ProductVersion",
};

} // namespace

CKVVersionInfo::CKVVersionInfo()
{
    Fill(tessel_sys::ProgramPath());
}

CKVVersionInfo::CKVVersionInfo(const char* moduleFileName)
{
    Fill(moduleFileName && *moduleFileName ? std::string(moduleFileName)
                                           : tessel_sys::ProgramPath());
}

void CKVVersionInfo::Fill(const std::string& moduleFileName)
{
    // Both separators are accepted: the name may come in the kept or the native form.
    const std::size_t cut = moduleFileName.find_last_of("/\\");
    const std::string file =
        cut == std::string::npos ? moduleFileName : moduleFileName.substr(cut + 1);
    const std::size_t dot = file.find('.');
    m_values[CompanyName] = "Korvel";
    m_values[FileDescription] = "Wendo batch editor for HTML and text files";
    m_values[FileVersion] = WENDO_VERSION_TEXT;
    m_values[InternalName] = dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
    m_values[LegalCopyright] = "Copyright (C) Korvel";
    m_values[OriginalFilename] = file;
    m_values[ProductName] = "Wendo";
    m_values[ProductVersion] = WENDO_VERSION_TEXT;
}

const std::string& CKVVersionInfo::GetValue(Entry entry) const
{
    static const std::string kEmpty;
    if (entry < 0 || entry >= EntryCount)
        return kEmpty;
    return m_values[static_cast<std::size_t>(entry)];
}

std::string CKVVersionInfo::GetValue(const char* entryName) const
{
    if (!entryName)
        return {};
    for (int i = 0; i < EntryCount; ++i) {
        if (std::strcmp(kNames[i], entryName) == 0)
            return m_values[static_cast<std::size_t>(i)];
    }
    return {};
}

const char* CKVVersionInfo::EntryName(Entry entry)
{
    if (entry < 0 || entry >= EntryCount)
        return "";
    return kNames[entry];
}
