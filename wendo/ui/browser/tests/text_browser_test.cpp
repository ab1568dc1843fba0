#include "BrowserTestSupport.h"

namespace {

using wendo::ui::CHHCtrl;

TEST_F(BrowserTest, TextBrowserShowsLocalPagesWithHistory)
{
    EXPECT_FALSE(m_control.Create(&m_parent, m_parent.rect(), CHHCtrl::kStylePlain));
    const QString first = Write("first.htm", "<title>First</title><a href='second.htm'>on</a>");
    const QString second = Write("second.htm", "<title>Second</title><p>second</p>");
    EXPECT_FALSE(m_control.Navigate(m_dir.filePath("none.htm")));
    EXPECT_FALSE(m_control.Navigate(QString()));

    ASSERT_TRUE(m_control.Navigate(first));
    EXPECT_EQ(m_control.Title(), QStringLiteral("First")) << "loaded at once";
    EXPECT_FALSE(m_control.IsBusy());
    EXPECT_FALSE(m_control.CanGoBack());
    ASSERT_TRUE(m_control.Navigate(QUrl::fromLocalFile(second).toString()));
    EXPECT_EQ(m_control.Title(), QStringLiteral("Second"));
    ASSERT_TRUE(m_control.CanGoBack());
    m_control.GoBack();
    EXPECT_EQ(m_control.Title(), QStringLiteral("First"));
    EXPECT_TRUE(m_control.CanGoForward());
    m_control.GoForward();
    EXPECT_TRUE(m_control.CurrentAddress().endsWith(QStringLiteral("/second.htm")));
    ASSERT_TRUE(m_control.Navigate(Write("plain.htm", "<p>plain</p>")));
    EXPECT_EQ(m_control.Title(), QStringLiteral("plain.htm")) << "named by its file";
}

} // namespace
