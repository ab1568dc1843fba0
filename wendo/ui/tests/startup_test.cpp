#include "UiTestSupport.h"
#include "fw/ChildFrame.h"
#include "os/clock.h"
#include "os/path.h"

namespace {

using wendo::ui::CWendoApp;

TEST_F(UiTest, EachPathOpensWithItsTemplate)
{
    Start();
    struct Row
    {
        const char* path;
        fw::Confidence confidence;
    };
    const Row rows[] = {
        {"/x/site.wdo", fw::Confidence::yesAttemptNative},
        {"/x/notes.txt", fw::Confidence::yesAttemptNative},
        {"/x/index.htm", fw::Confidence::yesAttemptForeign},
        {"/x/site.log", fw::Confidence::yesAttemptForeign},
    };
    fw::MultiDocTemplate* expected[] = {m_app->CommandTemplate, m_app->TextTemplate,
                                        m_app->TextTemplate, m_app->TextTemplate};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        fw::Confidence confidence{};
        core::CDocument* open = nullptr;
        EXPECT_EQ(m_app->FindTemplateFor(QString::fromLatin1(rows[i].path), &open, &confidence),
                  expected[i])
            << rows[i].path;
        EXPECT_EQ(confidence, rows[i].confidence) << rows[i].path;
        EXPECT_EQ(open, nullptr);
    }

    wendo::CWendoDoc* doc = OpenSite();
    ASSERT_NE(doc, nullptr);
    core::CDocument* open = nullptr;
    fw::Confidence confidence{};
    EXPECT_EQ(m_app->FindTemplateFor(SitePath().toUpper(), &open, &confidence),
              m_app->CommandTemplate);
    EXPECT_EQ(confidence, fw::Confidence::yesAlreadyOpen) << "paths compare ignoring case";
    EXPECT_EQ(open, doc);
    EXPECT_EQ(m_app->OpenDocumentFile(SitePath()), doc) << "an open file is activated, not reread";
}

TEST_F(UiTest, StartingWithoutAFileOpensNothing)
{
    Start();
    for (const auto& docTemplate : m_app->GetTemplates()) {
        EXPECT_TRUE(docTemplate->GetDocuments().empty());
    }
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo"));
}

TEST_F(UiTest, TheFileOnTheCommandLineIsOpened)
{
    Start({QStringLiteral("wendo"), QStringLiteral("-nologo"), SitePath(),
           QStringLiteral("NOHTMLHELP")});
    ASSERT_EQ(m_app->CommandTemplate->GetDocuments().size(), 1u);
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo - [site.wdo]"));
}

TEST(NoHtmlHelpTest, TheWordAnywhereInCapitalsSwitchesHelpOff)
{
    struct Row
    {
        QStringList arguments;
        bool off;
    };
    const Row rows[] = {
        {{"wendo"}, false},
        {{"wendo", "NOHTMLHELP"}, true},
        {{"wendo", "NOHTMLHELP", "/x/a.wdo"}, true},
        {{"wendo", "/x/a.wdo", "NOHTMLHELP"}, true},
        {{"wendo", "/x/NOHTMLHELP.wdo"}, true},
        {{"wendo", "nohtmlhelp"}, false},
        {{"wendo", "NoHtmlHelp"}, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CWendoApp::HasNoHtmlHelp(row.arguments), row.off)
            << row.arguments.join(' ').toStdString();
    }
    const fw::CommandLineInfo info =
        fw::WinApp::ParseCommandLine({"wendo", "NOHTMLHELP", "/x/a.wdo"});
    EXPECT_EQ(info.fileName, QStringLiteral("/x/a.wdo")) << "the switch is not taken for a file";
}

TEST_F(UiTest, HelpFallsBackWithoutHelpPages)
{
    struct FallbackCounter : CWendoApp
    {
        void ShowHelpFallback() override { ++shown; }
        int shown = 0;
    };
    auto app = std::make_unique<FallbackCounter>();
    app->SetSingleInstance(false);
    app->SetArguments({QStringLiteral("wendo"), QStringLiteral("-nologo")});
    ASSERT_TRUE(app->InitInstance());
    // Help is offered, but its pages are not installed: the topic cannot be shown.
    ASSERT_TRUE(app->IsHtmlHelpUsed());
    app->OnHelpTopics();
    EXPECT_EQ(app->shown, 1);
    // The help key right after choosing context help shows nothing, once.
    app->OnContextHelpMode();
    app->OnHelpContext(5);
    EXPECT_EQ(app->shown, 1);
    app->OnHelpContext(5);
    EXPECT_EQ(app->shown, 2);
    app.reset();

    app = std::make_unique<FallbackCounter>();
    app->SetSingleInstance(false);
    app->SetArguments(
        {QStringLiteral("wendo"), QStringLiteral("-nologo"), QStringLiteral("NOHTMLHELP")});
    ASSERT_TRUE(app->InitInstance());
    EXPECT_FALSE(app->IsHtmlHelpUsed());
    app->OnContextHelpMode();
    app->OnHelpContext(5);
    EXPECT_EQ(app->shown, 1) << "without help the fallback comes every time";
}

TEST_F(UiTest, TheSplashGoesOnTheFirstIdlePassAfterItsTime)
{
    Start({QStringLiteral("wendo")});
    ASSERT_TRUE(m_app->Splash.Exists());
    m_app->StartTick = os::MonotonicMilliseconds();
    EXPECT_TRUE(m_app->OnIdle(0));
    EXPECT_TRUE(m_app->Splash.Exists());
    m_app->StartTick -= CWendoApp::kSplashMs + 1;
    EXPECT_FALSE(m_app->OnIdle(1));
    EXPECT_FALSE(m_app->Splash.Exists());
}

} // namespace
