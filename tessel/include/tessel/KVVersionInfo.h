// CKVVersionInfo: the version strings of a module of this system (the program or one of its
// libraries). All modules are built together and share one product version; the module's
// own file name gives the internal and original names.
#pragma once

#include "tessel/tessel_api.h"

#include <array>
#include <string>

class TESSEL_API CKVVersionInfo
{
public:
    // The eleven entries kept, in this order.
    enum Entry
    {
        Comments,
        CompanyName,
        FileDescription,
        FileVersion,
        InternalName,
        LegalCopyright,
        LegalTrademarks,
        OriginalFilename,
        PrivateBuild,
        ProductName,
        ProductVersion,
        EntryCount
    };

    // The running program.
    CKVVersionInfo();
    // The module with that file name (a path or a bare name); NULL or empty: the program.
    explicit CKVVersionInfo(const char* moduleFileName);

    const std::string& GetValue(Entry entry) const;
    // By entry name as the version block spells it ("FileVersion"); empty for another name.
    std::string GetValue(const char* entryName) const;
    // The entry's name ("CompanyName"); empty for a value out of range.
    static const char* EntryName(Entry entry);

    const std::string& GetCompanyName() const { return GetValue(CompanyName); }
    const std::string& GetFileDescription() const { return GetValue(FileDescription); }
    const std::string& GetFileVersion() const { return GetValue(FileVersion); }
    const std::string& GetInternalName() const { return GetValue(InternalName); }
    const std::string& GetLegalCopyright() const { return GetValue(LegalCopyright); }
    const std::string& GetOriginalFilename() const { return GetValue(OriginalFilename); }
    const std::string& GetProductName() const { return GetValue(ProductName); }
    const std::string& GetProductVersion() const { return GetValue(ProductVersion); }

private:
    void Fill(const std::string& moduleFileName);

    std::array<std::string, EntryCount> m_values;
};
