#include "tessel/HtmlHelp.h"
#include "tessel/KVOSVersion.h"
#include "tessel/KVVersionInfo.h"
#include "tessel/RASConnection.h"
#include "tessel/tessel.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(Tessel, InitIsRepeatable)
{
    EXPECT_EQ(InitTesselDLL(), 1);
    EXPECT_EQ(InitTesselDLL(), 1);
    EXPECT_EQ(ISTesselInitialised(), 1);
}

TEST(KVOSVersion, ReadsTheRunningKernel)
{
    CKVOSVersion v;
    EXPECT_EQ(v.IsNT() + v.IsWIN95() + v.IsWIN98() + v.IsWIN31(), 0);
    EXPECT_FALSE(v.GetSystemName().empty());
    EXPECT_GT(v.GetMajorVersion(), 0);
    std::string text;
    v.GetVersion(text);
    EXPECT_EQ(text,
              std::to_string(v.GetMajorVersion()) + "." + std::to_string(v.GetMinorVersion()));
    EXPECT_DOUBLE_EQ(v.GetVersion(), std::stod(text));
}

TEST(KVVersionInfo, ElevenEntriesFromTheBuild)
{
    CKVVersionInfo info("C:\\Program Files\\Wendo\\Wendo.exe");
    EXPECT_EQ(info.GetOriginalFilename(), "Wendo.exe");
    EXPECT_EQ(info.GetInternalName(), "Wendo");
    EXPECT_EQ(info.GetProductName(), "Wendo");
    EXPECT_FALSE(info.GetFileVersion().empty());
    EXPECT_EQ(info.GetFileVersion(), info.GetProductVersion());
    EXPECT_EQ(info.GetValue("CompanyName"), info.GetCompanyName());
    EXPECT_EQ(info.GetValue("SpecialBuild"), "");
    EXPECT_EQ(info.GetValue(static_cast<const char*>(nullptr)), "");
    EXPECT_STREQ(CKVVersionInfo::EntryName(CKVVersionInfo::ProductVersion), "ProductVersion");
    EXPECT_STREQ(CKVVersionInfo::EntryName(CKVVersionInfo::EntryCount), "");

    CKVVersionInfo self;
    EXPECT_EQ(self.GetOriginalFilename(), "tessel_tests");
}

TEST(RASConnection, ReportsNoDialUpService)
{
    CRASConnection ras;
    EXPECT_EQ(ras.IsRASAvailable(), 0);
    EXPECT_EQ(ras.Init(RASConnectionRecord{42, "Office", "modem", "COM1"}), 0);
    EXPECT_EQ(ras.GetConnectionHandle(), 0u);
    EXPECT_EQ(ras.IsConnected("Office"), 0);
    EXPECT_EQ(ras.CloseConnection(), 0);
}

class RecordingHelp : public IHtmlHelpDisplay
{
public:
    void* ShowHelp(void* window, const char* file, unsigned command, std::uintptr_t data) override
    {
        m_file = file ? file : "";
        m_command = command;
        m_data = data;
        return window;
    }
    std::string m_file;
    unsigned m_command = 99;
    std::uintptr_t m_data = 0;
};

TEST(HtmlHelp, RequestsGoToTheRegisteredDisplayOnly)
{
    int window = 0;
    RegisterHtmlHelpDisplay(nullptr);
    EXPECT_EQ(ISHtmlHelpAvailable(), 0);
    EXPECT_EQ(HtmlHelpA(&window, "help.chm", HH_DISPLAY_TOPIC, 0), nullptr);

    RecordingHelp help;
    RegisterHtmlHelpDisplay(&help);
    EXPECT_EQ(HtmlHelpA(&window, "help.chm", HH_HELP_CONTEXT, 7), &window);
    EXPECT_EQ(help.m_file, "help.chm");
    EXPECT_EQ(help.m_command, HH_HELP_CONTEXT);
    EXPECT_EQ(help.m_data, 7u);
    RegisterHtmlHelpDisplay(nullptr);
}

TEST(HtmlHelp, HelpPathIsTheProgramWithChm)
{
    std::string path;
    ASSERT_EQ(GetHTMLHelpPath(path), 1);
    EXPECT_NE(path.find("tessel_tests.chm"), std::string::npos) << path;
    EXPECT_EQ(path.find('/'), std::string::npos) << "kept form uses backslashes: " << path;
}

} // namespace
