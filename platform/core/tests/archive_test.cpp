#include "core/archive.h"
#include "core/object.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using core::CArchive;
using core::CArchiveException;
using core::CObject;
using core::CRuntimeClass;

namespace {

class ArchiveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device rd;
        m_dir = fs::temp_directory_path() / ("wendo-archive-" + std::to_string(rd()));
        fs::create_directories(m_dir);
        m_path = (m_dir / "data.bin").string();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Bytes() const
    {
        std::ifstream in(m_path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void SetBytes(const std::string& bytes) const
    {
        std::ofstream out(m_path, std::ios::binary);
        out << bytes;
    }

    fs::path m_dir;
    std::string m_path;
};

TEST_F(ArchiveTest, StringLengthPrefixFormsAtEachBoundary)
{
    struct Row
    {
        const char* name;
        std::size_t length;
        std::string prefix;
    };
    const std::vector<Row> rows = {
        {"empty", 0, std::string("\x00", 1)},
        {"largest one-byte", 0xFE, "\xFE"},
        {"smallest 16-bit", 0xFF, std::string("\xFF\xFF\x00", 3)},
        {"largest 16-bit", 0xFFFD, "\xFF\xFD\xFF"},
        {"0xFFFE is reserved so goes 32-bit", 0xFFFE,
         std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {"beyond 16 bits", 0x12345, std::string("\xFF\xFF\xFF\x45\x23\x01\x00", 7)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string text(row.length, 'x');
        if (!text.empty()) {
            text.front() = '\0';
            text.back() = '\xE9';
        }
        {
            CArchive ar(m_path, CArchive::store);
            ASSERT_TRUE(ar.IsOpen());
            ar << text;
            ASSERT_TRUE(ar.Close());
        }
        EXPECT_EQ(Bytes(), row.prefix + text);
        CArchive ar(m_path, CArchive::load);
        std::string back = "stale";
        ar >> back;
        EXPECT_EQ(back, text);
    }
}

TEST_F(ArchiveTest, IntegersAreLittleEndian)
{
    {
        CArchive ar(m_path, CArchive::store);
        ar << std::uint8_t{0x01} << std::uint16_t{0x0302} << std::uint32_t{0x07060504};
    }
    EXPECT_EQ(Bytes(), "\x01\x02\x03\x04\x05\x06\x07");
}

TEST_F(ArchiveTest, BadLoadsThrowWithTheirCause)
{
    struct Row
    {
        const char* name;
        std::string bytes;
        CArchiveException::Cause cause;
    };
    const std::vector<Row> rows = {
        {"empty file", "", CArchiveException::endOfFile},
        {"text shorter than its length",
         "\x05"
         "abc",
         CArchiveException::endOfFile},
        {"cut 16-bit length", "\xFF\x01", CArchiveException::endOfFile},
        {"wide-character marker", "\xFF\xFE\xFF\x02", CArchiveException::badSchema},
        {"huge 32-bit length, few bytes",
         "\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
         "abc",
         CArchiveException::endOfFile},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetBytes(row.bytes);
        CArchive ar(m_path, CArchive::load);
        std::string text;
        try {
            ar >> text;
            ADD_FAILURE() << "no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetCause(), row.cause);
        }
    }
}

TEST_F(ArchiveTest, WrongDirectionIsRefused)
{
    {
        CArchive ar(m_path, CArchive::store);
        EXPECT_TRUE(ar.IsStoring());
        std::string text;
        EXPECT_EQ(ar.Read(text.data(), 0), 0U);
        try {
            ar >> text;
            ADD_FAILURE() << "no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetCause(), CArchiveException::writeOnly);
        }
    }
    CArchive ar(m_path, CArchive::load);
    EXPECT_TRUE(ar.IsLoading());
    EXPECT_FALSE(ar.Write("abc"));
    try {
        ar << std::string_view("abc");
        ADD_FAILURE() << "no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), CArchiveException::readOnly);
    }
}

TEST_F(ArchiveTest, RawBytesAndLength)
{
    {
        CArchive ar(m_path, CArchive::store);
        EXPECT_TRUE(ar.Write("line one\n"));
        EXPECT_TRUE(ar.Write(std::string_view("two\0\n", 5)));
        EXPECT_EQ(ar.GetLength(), 14);
    }
    CArchive ar(m_path, CArchive::load);
    EXPECT_EQ(ar.GetLength(), 14);
    std::vector<char> buffer(32, '#');
    EXPECT_EQ(ar.Read(buffer.data(), buffer.size()), 14U);
    EXPECT_EQ(std::string(buffer.data(), 14), std::string("line one\ntwo\0\n", 14));
    EXPECT_EQ(ar.Read(buffer.data(), buffer.size()), 0U);
}

TEST_F(ArchiveTest, UnopenableFileGivesResultsNotCrashes)
{
    CArchive loading((m_dir / "missing.bin").string(), CArchive::load);
    EXPECT_FALSE(loading.IsOpen());
    EXPECT_EQ(loading.GetLength(), -1);
    std::uint8_t byte = 0;
    EXPECT_EQ(loading.Read(&byte, 1), 0U);
    EXPECT_THROW(loading >> byte, CArchiveException);

    CArchive storing((m_dir / "no" / "such" / "dir.bin").string(), CArchive::store);
    EXPECT_FALSE(storing.IsOpen());
    EXPECT_FALSE(storing.Write("x"));
    EXPECT_TRUE(storing.Close());
}

class Sample : public CObject
{
public:
    static const CRuntimeClass classSample;
    const CRuntimeClass* GetRuntimeClass() const override { return &classSample; }
};
const CRuntimeClass Sample::classSample{
    "Sample", &CObject::classCObject,
    []() -> std::unique_ptr<CObject> { return std::make_unique<Sample>(); }};

TEST(RuntimeClass, KindAndCreationByRecord)
{
    std::unique_ptr<CObject> made = Sample::classSample.CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->GetRuntimeClass()->m_className, "Sample");
    EXPECT_TRUE(made->IsKindOf(&CObject::classCObject));
    EXPECT_TRUE(made->IsKindOf(&Sample::classSample));
    EXPECT_FALSE(made->IsKindOf(nullptr));
    EXPECT_EQ(CObject::classCObject.CreateObject(), nullptr);
}

} // namespace
