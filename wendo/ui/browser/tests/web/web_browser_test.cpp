#include "../BrowserTestSupport.h"

#include <QDir>
#include <QTcpServer>
#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

class WebBrowserTest : public BrowserTest
{
protected:
    QVariant Run(const QString& script)
    {
        QVariant result;
        bool done = false;
        Page()->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        EXPECT_TRUE(WaitFor([&] { return done; })) << script.toStdString();
        return result;
    }
    // A person's click: the engine skips pages left without one when going back.
    void Click(const QString& selector)
    {
        const QVariantList centre =
            Run(QStringLiteral("(() => { const r = document.querySelector('%1')"
                               ".getBoundingClientRect();"
                               "return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                    .arg(selector))
                .toList();
        ASSERT_EQ(centre.size(), 2);
        QWidget* target = m_control.Widget()->focusProxy();
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier,
                          QPoint(centre[0].toInt(), centre[1].toInt()));
    }
    QWebEnginePage* Page() { return static_cast<QWebEngineView*>(m_control.Widget())->page(); }
};

TEST_F(WebBrowserTest, ExampleSiteLoadsFollowsALinkAndGoesBack)
{
    const QString home = QStringLiteral("Home - Lamplight Furniture");
    ASSERT_TRUE(m_control.Navigate(QDir::cleanPath(
        QStringLiteral(WENDO_TEST_DATA "/../../../../../../examples/site/index.htm"))));
    ASSERT_TRUE(WaitForPage(m_control, home));
    EXPECT_GT(Run("document.images[0].naturalWidth").toInt(), 0) << "local image";
    EXPECT_FALSE(m_control.CanGoBack());

    Click(QStringLiteral("a[href^=\"products/\"]"));
    ASSERT_TRUE(WaitFor([&] { return m_control.Title() != home && !m_control.IsBusy(); }));
    EXPECT_TRUE(m_control.CurrentAddress().endsWith(QStringLiteral("/products/index.htm#top")));
    ASSERT_TRUE(m_control.CanGoBack());
    m_control.GoBack();
    ASSERT_TRUE(WaitForPage(m_control, home));
    EXPECT_TRUE(m_control.CanGoForward());
}

TEST_F(WebBrowserTest, LocalPagesReachNoRemoteAddressUntilALinkIsFollowed)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QByteArray remote = "http://127.0.0.1:" + QByteArray::number(server.serverPort());
    Write("local.css", "body { color: rgb(1, 2, 3) }");
    const QString page = Write(
        "page.htm", "<title>Page</title><link rel=stylesheet href='local.css'>"
                    "<link rel=stylesheet href='" +
                        remote + "/remote.css'><img src='" + remote + "/remote.gif'><script src='" +
                        remote + "/remote.js'></script><a id=out href='" + remote + "/'>out</a>");
    ASSERT_TRUE(m_control.Navigate(page));
    ASSERT_TRUE(WaitForPage(m_control, QStringLiteral("Page")));
    EXPECT_EQ(Run("getComputedStyle(document.body).color").toString(),
              QStringLiteral("rgb(1, 2, 3)"));
    EXPECT_FALSE(server.hasPendingConnections());

    // The server never answers: the followed link stays loading until it is stopped.
    Click(QStringLiteral("#out"));

    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections() && m_control.IsBusy(); }));
    m_control.Stop();
    EXPECT_TRUE(WaitFor([&] { return !m_control.IsBusy(); }));

    QString failed;
    m_control.SetLoadFailedHandler([&failed](const QString& address) { failed = address; });
    server.close();
    ASSERT_TRUE(m_control.Navigate(QString::fromLatin1(remote + "/gone")));
    EXPECT_TRUE(WaitFor([&] { return !failed.isEmpty(); }));
    EXPECT_EQ(failed, QString::fromLatin1(remote + "/gone"));
}

} // namespace
