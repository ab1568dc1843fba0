#include "companions/Runel.h"
#include "companions/Vitra.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// A private home for the settings and data folders of one test.
class RunelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() /
                 ("runel-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root / "config");
        fs::create_directories(m_root / "system");
        setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (m_root / "data").c_str(), 1);
        setenv("XDG_DATA_DIRS", (m_root / "system").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(m_root); }

    void WriteSettings(const std::string& text)
    {
        fs::create_directories(m_root / "config" / "Korvel");
        std::ofstream(m_root / "config" / "Korvel" / "Wendo.conf") << text;
    }
    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path m_root;
};

TEST_F(RunelTest, ReadsNumbersFromTheGeneralSectionAndKeepsDefaultsForTheRest)
{
    struct Row
    {
        const char* name;
        std::string settings;
        int result;
        std::uint32_t value;
    };
    const Row rows[] = {
        {"no settings file", "", 0, 7},
        {"value present", "[General]\nOcxOnFail=3\n", 1, 3},
        {"spaces and CR", "[General]\r\n OcxOnFail = 12 \r\n", 1, 12},
        {"other section only", "[Settings]\nOcxOnFail=3\n", 1, 7},
        {"not a number", "[General]\nOcxOnFail=-1\n", 1, 7},
        {"too large", "[General]\nOcxOnFail=4294967296\n", 1, 7},
        {"largest", "[General]\nOcxOnFail=4294967295\n", 1, 4294967295U},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(m_root / "config" / "Korvel");
        if (!row.settings.empty()) {
            WriteSettings(row.settings);
        }
        KVRegistryEntry entries[] = {{"OcxOnFail", KVREG_DWORD, 99, 7, {}, {}}};
        EXPECT_EQ(GetKorvelRegistry("Wendo", entries, 1), row.result);
        EXPECT_EQ(entries[0].number, row.value);
    }
}

TEST_F(RunelTest, RefusesBadArguments)
{
    KVRegistryEntry entries[] = {{"OcxOnFail", KVREG_DWORD, 99, 7, {}, {}}};
    EXPECT_EQ(GetKorvelRegistry(nullptr, entries, 1), 0);
    EXPECT_EQ(entries[0].number, 7u);
    EXPECT_EQ(GetKorvelRegistry("../Wendo", entries, 1), 0);
    EXPECT_EQ(GetKorvelRegistry("Wendo", nullptr, 1), 0);
    EXPECT_EQ(GetKorvelRegistry("Wendo", entries, 0), 0);
}

TEST_F(RunelTest, RegistersTheFileTypeOnceAtUserLevel)
{
    ASSERT_EQ(KVRegisterShellFileTypes(".wdo", "application/x-wendo-command", "Wendo Command file",
                                       "/opt/wendo/bin/wendo"),
              1);
    const fs::path mime = m_root / "data" / "mime" / "packages" / "wendo.xml";
    const fs::path desktop = m_root / "data" / "applications" / "wendo.desktop";
    EXPECT_NE(Read(mime).find("<glob pattern=\"*.wdo\"/>"), std::string::npos);
    EXPECT_NE(Read(desktop).find("Exec=\"/opt/wendo/bin/wendo\" %f"), std::string::npos);
    EXPECT_NE(Read(desktop).find("MimeType=application/x-wendo-command;"), std::string::npos);

    // A registration the user already has is left as it is.
    std::ofstream(desktop) << "kept";
    EXPECT_EQ(KVRegisterShellFileTypes(".wdo", "application/x-wendo-command", "Wendo Command file",
                                       "/elsewhere/wendo"),
              1);
    EXPECT_EQ(Read(desktop), "kept");
}

TEST_F(RunelTest, LeavesTheUserLevelAloneWhenInstalledSystemWide)
{
    fs::create_directories(m_root / "system" / "mime" / "packages");
    fs::create_directories(m_root / "system" / "applications");
    std::ofstream(m_root / "system" / "mime" / "packages" / "wendo.xml") << "x";
    std::ofstream(m_root / "system" / "applications" / "wendo.desktop") << "x";
    EXPECT_EQ(KVRegisterShellFileTypes(".wdo", "application/x-wendo-command", "Wendo Command file",
                                       "/opt/wendo/bin/wendo"),
              1);
    EXPECT_FALSE(fs::exists(m_root / "data" / "applications" / "wendo.desktop"));
}

TEST_F(RunelTest, RefusesTextsThatWouldBreakTheEntries)
{
    EXPECT_EQ(
        KVRegisterShellFileTypes(".wdo", "application/x-wendo-command", "Wendo", "/opt/we\"ndo"),
        0);
    EXPECT_EQ(KVRegisterShellFileTypes(".wdo", "application/x-wendo-command", "<b>", "/opt/w"), 0);
    EXPECT_EQ(KVRegisterShellFileTypes("wdo", "application/x-wendo-command", "W", "/opt/w"), 0);
    EXPECT_EQ(KVRegisterShellFileTypes(".wdo", "application/x-wendo-command", "W", "relative"), 0);
    EXPECT_FALSE(fs::exists(m_root / "data" / "applications" / "wendo.desktop"));
}

TEST(VitraTest, InitialisesOnce)
{
    EXPECT_EQ(InitVitraDLL(), 1);
    EXPECT_EQ(InitVitraDLL(), 1);
    EXPECT_EQ(ISVitraInitialised(), 1);
}

} // namespace
