// The embeddable browser of the HTML viewer: made in a parent window over a rectangle with a
// creation style, navigated to a file or address, moved, and asked whether it can go back or
// forward and whether it is loading. This build shows pages with a text browser, which loads
// a local page at once: stopping has nothing to stop and the control is never busy.
//
// Threads: interface thread only. Ownership: the browser widget is a child of the parent
// given to Create and dies with it; the control object itself belongs to its owner.
#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QTextBrowser>

namespace wendo::ui {

class CHHCtrl
{
public:
    // The creation styles: with and without the fallback when the browser is missing.
    static constexpr int kStyleFallbackOnFail = 79;
    static constexpr int kStylePlain = 15;

    CHHCtrl() = default;
    CHHCtrl(const CHHCtrl&) = delete;
    CHHCtrl& operator=(const CHHCtrl&) = delete;

    // False when there is no parent, the control already exists, or making browsers was
    // refused (SetRefuseCreate).
    bool Create(QWidget* parent, const QRect& rect, int style);
    bool IsAvailable() const { return !m_browser.isNull(); }
    int Style() const { return m_style; }

    // A path of a local file or an address. False when the control is missing or the local
    // file does not exist.
    bool Navigate(const QString& address);
    void MoveWindow(const QRect& rect);

    void GoBack();
    void GoForward();
    void Stop();
    void Refresh();
    bool CanGoBack() const;
    bool CanGoForward() const;
    bool IsBusy() const;
    QString CurrentAddress() const;
    QTextBrowser* Browser() const { return m_browser.data(); }

    // Makes every later Create fail, as on a machine without a browser (tests).
    static void SetRefuseCreate(bool refuse);

private:
    QPointer<QTextBrowser> m_browser;
    int m_style = 0;
};

} // namespace wendo::ui
