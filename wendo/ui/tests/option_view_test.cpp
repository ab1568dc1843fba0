#include "UiTestSupport.h"
#include "Views.h"
#include "core/StringTable.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

using namespace wendo::ui;
using wendo::CWendoDoc;

enum : int
{
    IDC_BROWSE = 1050,
    IDC_REPORT_FILE = 1051,
    IDC_BACKUP_EXT = 1052,
    IDC_CREATE_BACKUP = 1053,
    IDC_MODIFIED_ONLY = 1056,
    IDC_FROM_LINE = 1058,
    IDC_TO_LINE = 1059,
    IDC_GENERATE_REPORT = 1085,
};

QString Text(std::uint32_t id)
{
    return QString::fromUtf8(core::LoadString(id));
}

class OptionViewTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Start();
        m_doc = OpenSite();
        ASSERT_NE(m_doc, nullptr);
        m_view = dynamic_cast<COptionView*>(
            CMainFrame::FindDocView(m_doc, fw::ViewClassOf<COptionView>()));
        ASSERT_NE(m_view, nullptr);
        m_doc->SetModifiedFlag(false);
    }
    void TearDown() override
    {
        COptionView::SetBrowseHook({});
        UiTest::TearDown();
    }
    QLineEdit* Edit(int id) const { return m_view->Edit(id); }
    QCheckBox* Check(int id) const { return m_view->Check(id); }

    CWendoDoc* m_doc = nullptr;
    COptionView* m_view = nullptr;
};

TEST_F(OptionViewTest, ShowsTheDocumentsOptions)
{
    EXPECT_TRUE(Check(IDC_GENERATE_REPORT)->isChecked());
    EXPECT_TRUE(Check(IDC_MODIFIED_ONLY)->isChecked()) << "LOGUNMODIF=NO";
    EXPECT_TRUE(Check(IDC_CREATE_BACKUP)->isChecked());
    EXPECT_EQ(Edit(IDC_BACKUP_EXT)->text(), QStringLiteral("bak"));
    EXPECT_EQ(Edit(IDC_FROM_LINE)->text(), QString()) << "0 shows as nothing";
    EXPECT_FALSE(m_view->IsChanged());
    EXPECT_FALSE(m_doc->IsModified());
}

TEST_F(OptionViewTest, LineRegionIsCheckedWhenStored)
{
    struct Row
    {
        const char* from;
        const char* to;
        QString refusal; // empty: stored
        int16_t storedFrom;
        int16_t storedTo;
    } rows[] = {
        {"10", "5", Text(core::Msg::BAD_LINE_REGION), 0, 0},
        {"5", "", {}, 5, 0},
        {"", "5", {}, 0, 5},
        {"5", "0", Text(core::Msg::BAD_LINE_REGION), 0, 0},
        {"abc", "", Text(core::Msg::NOT_POSITIVE_INTEGER), 0, 0},
        {"1", "-2", Text(core::Msg::NOT_POSITIVE_INTEGER), 0, 0},
        {" 7 ", " 9 ", {}, 7, 9},
        {"40000", "", QStringLiteral("A line number may not be above 32767."), 0, 0},
    };
    for (const Row& row : rows) {
        m_doc->FromLine = 0;
        m_doc->ToLine = 0;
        m_boxes.clear();
        Edit(IDC_FROM_LINE)->setText(QString::fromLatin1(row.from));
        Edit(IDC_TO_LINE)->setText(QString::fromLatin1(row.to));
        ASSERT_TRUE(m_view->IsChanged()) << row.from;
        const bool stored = m_view->StoreOptions();
        EXPECT_EQ(stored, row.refusal.isEmpty()) << row.from << " " << row.to;
        if (row.refusal.isEmpty()) {
            EXPECT_TRUE(m_boxes.empty()) << row.from;
            EXPECT_FALSE(m_view->IsChanged());
        } else {
            ASSERT_EQ(m_boxes.size(), 1U) << row.from;
            EXPECT_EQ(m_boxes.front(), row.refusal) << row.from;
            EXPECT_TRUE(m_view->IsChanged()) << "the copy stays to be stored";
        }
        EXPECT_EQ(m_doc->FromLine, row.storedFrom) << row.from;
        EXPECT_EQ(m_doc->ToLine, row.storedTo) << row.to;
    }
}

TEST_F(OptionViewTest, BackupExtensionMayNotLeaveTheSourcesFolder)
{
    const QString refusal =
        QStringLiteral("The backup extension may not hold \"/\", \"\\\" or \"..\".");
    struct Row
    {
        const char* extension;
        bool stored;
    } rows[] = {{"old", true},   {" orig ", true}, {"a/b", false},
                {"a\\b", false}, {"..", false},    {"x..y", false}};
    for (const Row& row : rows) {
        m_boxes.clear();
        Edit(IDC_BACKUP_EXT)->setText(QString::fromLatin1(row.extension));
        EXPECT_EQ(m_view->StoreOptions(), row.stored) << row.extension;
        if (row.stored) {
            EXPECT_EQ(m_doc->BackupExt, QString::fromLatin1(row.extension).trimmed().toStdString());
        } else {
            ASSERT_EQ(m_boxes.size(), 1U) << row.extension;
            EXPECT_EQ(m_boxes.front(), refusal);
            EXPECT_EQ(m_doc->BackupExt, "orig") << "the last good extension stays";
        }
    }
}

TEST_F(OptionViewTest, ClearingTheExtensionUnticksAndDisablesCreateBackup)
{
    Edit(IDC_BACKUP_EXT)->setText(QStringLiteral("  "));
    EXPECT_FALSE(Check(IDC_CREATE_BACKUP)->isChecked());
    EXPECT_FALSE(Check(IDC_CREATE_BACKUP)->isEnabled());
    EXPECT_TRUE(m_doc->IsModified());
    Edit(IDC_BACKUP_EXT)->setText(QStringLiteral("bak"));
    EXPECT_TRUE(Check(IDC_CREATE_BACKUP)->isEnabled());
    EXPECT_FALSE(Check(IDC_CREATE_BACKUP)->isChecked());
    ASSERT_TRUE(m_view->StoreOptions());
    EXPECT_EQ(m_doc->Backup, 0);
}

TEST_F(OptionViewTest, UntickingGenerateReportDisablesItsControlsButKeepsTheirValues)
{
    COptionView::SetBrowseHook([](QWidget*, const QString& start) {
        EXPECT_EQ(start, QDir::homePath());
        return QStringLiteral("/tmp/logs/site.log");
    });
    qobject_cast<QPushButton*>(m_view->Control(IDC_BROWSE))->click();
    EXPECT_EQ(Edit(IDC_REPORT_FILE)->text(), QStringLiteral("/tmp/logs/site.log"));

    Check(IDC_GENERATE_REPORT)->click();
    EXPECT_FALSE(Check(IDC_MODIFIED_ONLY)->isEnabled());
    EXPECT_FALSE(Edit(IDC_REPORT_FILE)->isEnabled());
    EXPECT_FALSE(m_view->Control(IDC_BROWSE)->isEnabled());
    EXPECT_TRUE(Check(IDC_MODIFIED_ONLY)->isChecked());
    EXPECT_EQ(Edit(IDC_REPORT_FILE)->text(), QStringLiteral("/tmp/logs/site.log"));
    EXPECT_TRUE(m_doc->IsModified());

    ASSERT_TRUE(m_view->StoreOptions());
    EXPECT_EQ(m_doc->Report, 0);
    EXPECT_EQ(m_doc->LogUnmodified, 0);
    EXPECT_EQ(m_doc->ReportPath, "\\tmp\\logs\\site.log");
}

TEST_F(OptionViewTest, SavingWithoutChangesLeavesTheDocumentsOptionsAlone)
{
    m_doc->FromLine = 3;
    m_doc->Backup = 0;
    m_doc->ReportPath = "C:\\logs\\kept.log";
    ASSERT_TRUE(m_doc->OnSaveDocument(SitePath().toStdString()));
    EXPECT_EQ(m_doc->FromLine, 3);
    EXPECT_EQ(m_doc->Backup, 0);
    EXPECT_EQ(m_doc->ReportPath, "C:\\logs\\kept.log");
}

TEST_F(OptionViewTest, ARefusedCopyRefusesTheSave)
{
    QFile file(SitePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    Edit(IDC_FROM_LINE)->setText(QStringLiteral("abc"));
    EXPECT_FALSE(m_doc->OnSaveDocument(SitePath().toStdString()));
    EXPECT_TRUE(m_doc->IsModified());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();

    Edit(IDC_FROM_LINE)->setText(QStringLiteral("2"));
    EXPECT_TRUE(m_doc->OnSaveDocument(SitePath().toStdString()));
    EXPECT_EQ(m_doc->FromLine, 2);
    EXPECT_FALSE(m_doc->IsModified());
}

} // namespace
