// The embeddable browser of the HTML viewer: made in a parent window over a rectangle with a
// creation style, navigated to a file or address, moved, and asked whether it can go back or
// forward and whether it is loading. Two builds exist behind this one interface: the web
// engine (pages load in the background, so the control is busy until a page has finished)
// and a plain text browser for builds without it (a local page loads at once: stopping has
// nothing to stop and the control is never busy).
//
// Threads: interface thread only. Ownership: the browser widget is a child of the parent
// given to Create; the control deletes it when it goes first, so no signal of the widget
// reaches a control that is gone.
#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>

namespace wendo::ui {

class CHHCtrl
{
public:
    // The creation styles: with and without the fallback when the browser is missing.
    static constexpr int kStyleFallbackOnFail = 79;
    static constexpr int kStylePlain = 15;

    CHHCtrl() = default;
    ~CHHCtrl();
    CHHCtrl(const CHHCtrl&) = delete;
    CHHCtrl& operator=(const CHHCtrl&) = delete;

    // False when there is no parent, the control already exists, or making browsers was
    // refused (SetRefuseCreate).
    bool Create(QWidget* parent, const QRect& rect, int style);
    bool IsAvailable() const { return !m_browser.isNull(); }
    int Style() const { return m_style; }

    // A path of a local file or an address. False when the control is missing or the local
    // file does not exist; a navigation that fails later is told to the load-failed handler.
    bool Navigate(const QString& address);
    void MoveWindow(const QRect& rect);
    // Called with the address of each navigation that could not be completed.
    void SetLoadFailedHandler(std::function<void(const QString&)> handler);

    void GoBack();
    void GoForward();
    void Stop();
    void Refresh();
    bool CanGoBack() const;
    bool CanGoForward() const;
    bool IsBusy() const;
    QString CurrentAddress() const;
    QString Title() const;
    QWidget* Widget() const { return m_browser.data(); }

    // Makes every later Create fail, as on a machine without a browser (tests).
    static void SetRefuseCreate(bool refuse);

private:
    // Shared by both builds: whether a browser may be made now, and the address as a URL
    // (empty when it names a local file that does not exist).
    bool MayCreate(QWidget* parent) const;
    static QUrl ToUrl(const QString& address);
    void LoadFailed(const QString& address) const;

    QPointer<QWidget> m_browser;
    std::function<void(const QString&)> m_loadFailed;
    int m_style = 0;
};

} // namespace wendo::ui
