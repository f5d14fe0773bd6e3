#include "browser/vantordlg.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QWebEngineHistory>
#include <QWebEngineView>

#include <memory>

#include "launch/launch_state.h"
#include "browser/browser_page.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/first_show_maximizer.h"
#include "browser/waiting_page.h"
#include "platform/dialog_units_qt.h"
#include "res/app_icon.h"

namespace {

// The window's template, in dialog units of its 12-point font.
constexpr DialogRect kTemplateClient{0, 0, 519, 287};
constexpr DialogRect kTemplateBrowserArea{0, 1, 519, 285};
constexpr int kTemplateFontPoints = 12;

// "http://host:port/" of the configured site, or nothing before it is read.
QUrl SiteOrigin()
{
    if (LaunchState.HttpServer.empty())
        return QUrl();
    const QUrl origin(QString::fromStdU16String(u"http://" + LaunchState.HttpServer + u":" + LaunchState.Port + u"/"),
                      QUrl::StrictMode);
    return origin.isValid() ? origin : QUrl();
}

SizeChange SizeChangeOf(Qt::WindowStates states)
{
    if (states & Qt::WindowMinimized)
        return SizeChange::Minimized;
    if (states & Qt::WindowMaximized)
        return SizeChange::Maximized;
    return SizeChange::Restored;
}

ChildRect ToChildRect(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect ToQRect(const ChildRect& rect)
{
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

}

CVantorDlg::CVantorDlg(QWebEngineProfile* profile, QWidget* pParent)
    : QDialog(pParent),
      m_hIcon(AppIcon()),
      m_profile(profile),
      m_browserArea(new QWidget(this))
{
    setWindowTitle(QStringLiteral("栖澜浏览器"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    QFont templateFont = font();
    templateFont.setPointSize(kTemplateFontPoints);
    setFont(templateFont);

    const DialogBaseUnits baseUnits = BaseUnitsOf(templateFont);
    const QRect client = TemplateRectInPixels(kTemplateClient, baseUnits);
    // The reference until the first relayout records the real client size.
    m_nClientWidth = client.width();
    m_nClientHeight = client.height();
    // The template's place, top left; a dialog left unplaced would be
    // centred over the maximised state.
    move(client.topLeft());
    resize(client.size());

    m_browserArea->setObjectName(QStringLiteral("IDC_BROWSER_AREA"));
    m_browserArea->setGeometry(TemplateRectInPixels(kTemplateBrowserArea, baseUnits));
    m_browserArea->hide();

    m_browserClient = std::make_unique<CCefBrowserEventHandler>(*this, m_profile);
    new FirstShowMaximizer(*this);
}

CVantorDlg::~CVantorDlg()
{
    OnDestroy();
}

int CVantorDlg::exec()
{
    // QDialog::exec() would make the window modal to the whole application,
    // and a window manager then keeps it above every pop-up.
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    loop.exec(QEventLoop::DialogExec);
    return result();
}

void CVantorDlg::setVisible(bool visible)
{
    if (visible && !m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::setVisible(visible);
}

void CVantorDlg::OnInitDialog()
{
    setWindowIcon(m_hIcon);
    // The page first, with its load started: its drawing surface decides the
    // kind of native window, which the state below makes. Made later, Qt
    // remakes the window, the window manager maps the new one unmaximised,
    // and the page is drawn twice.
    auto* view = new QWebEngineView(this);
    view->setGeometry(m_browserArea->geometry());
    m_mainPage = new BrowserPage(m_profile, *m_browserClient, BrowserPage::Kind::Main, view, view);
    view->show();
    if (m_bStartUrlKnown)
        LoadStartUrl();
    else
        ShowWaitingPage();
    m_browserClient->OnAfterCreated(*m_mainPage);

    // Shown maximised by the show that runs this.
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    m_nClientWidth = width();
    m_nClientHeight = height();
}

void CVantorDlg::ShowWaitingPage()
{
    m_bWaitingPageShown = true;
    // Starts the renderer while the start URL is still being decided; under
    // the site's address, the login page later opens in that renderer.
    m_mainPage->setHtml(WaitingPageHtml(), SiteOrigin());
    ForgetWaitingPage();
}

void CVantorDlg::OpenStartUrl()
{
    if (m_bStartUrlKnown)
        return;
    m_bStartUrlKnown = true;
    if (!m_mainPage)
        return;  // opened at the first show
    if (!LaunchState.StartUrl.empty())
        LoadStartUrl();
    else if (m_bWaitingPageShown)
        m_mainPage->setHtml(BlankPageHtml());
}

void CVantorDlg::LoadStartUrl()
{
    const QString startUrl = QString::fromStdU16String(LaunchState.StartUrl);
    if (!startUrl.isEmpty())
        m_mainPage->load(QUrl(startUrl));
}

void CVantorDlg::ForgetWaitingPage()
{
    // Back must never lead from the site to the waiting page, which stays
    // the first entry until the next page has loaded.
    auto forget = std::make_shared<QMetaObject::Connection>();
    *forget = connect(m_mainPage, &QWebEnginePage::loadFinished, this, [this, forget] {
        QWebEngineHistory* history = m_mainPage->history();
        if (history->currentItemIndex() == 0)
            return;
        history->clear();
        disconnect(*forget);
    });
}

void CVantorDlg::OnBrowserWindowCreated(QWidget* browserWindow)
{
    if (!browserWindow)
        return;
    const QRect area = m_browserArea->geometry();
    const QPoint lowerRight = mapToGlobal(QPoint(area.left() + area.width(), area.top() + area.height()));
    if (browserWindow->isWindow()) {
        // The pop-up's frame, title bar included, runs from the screen origin
        // to that corner, so a restored pop-up keeps its title bar on the
        // screen. Its own frame is not known before it is mapped; this
        // window's comes close. Moved before its native window exists, a
        // window is placed by its frame.
        const QSize frame = frameGeometry().size() - size();
        browserWindow->resize(lowerRight.x() - frame.width(), lowerRight.y() - frame.height());
        browserWindow->move(0, 0);
        browserWindow->setWindowIcon(m_hIcon);
        browserWindow->showMaximized();
        // In front of the main window, with the keyboard.
        browserWindow->raise();
        browserWindow->activateWindow();
    } else {
        // A maximised child fills its parent's client area, after every size
        // change too.
        m_mainBrowserWindow = browserWindow;
        browserWindow->setGeometry(rect());
        browserWindow->show();
    }
}

QWidget& CVantorDlg::HostWidget()
{
    return *this;
}

void CVantorDlg::OnBrowserTitle(QWidget* browserWindow)
{
    if (browserWindow)
        browserWindow->setWindowTitle(QString::fromStdU16String(g_strBrowserTitle));
}

QWidget* CVantorDlg::BrowserArea() const
{
    return m_browserArea;
}

CCefBrowserEventHandler& CVantorDlg::BrowserClient() const
{
    return *m_browserClient;
}

void CVantorDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    OnSize(SizeChangeOf(windowState()));
}

void CVantorDlg::OnSize(SizeChange change)
{
    // The browser fills the client area after every size change, those while
    // minimised included: scaled with truncation, it would drift a pixel or
    // more from the edges with each round.
    if (m_mainBrowserWindow)
        m_mainBrowserWindow->setGeometry(rect());
    if (!RelayoutFollows(change))
        return;
    QList<QWidget*> children;
    std::vector<ChildRect> rects;
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || child == m_mainBrowserWindow)
            continue;
        children.append(child);
        rects.push_back(ToChildRect(child->geometry()));
    }
    const RelayoutResult result = Relayout(change, {m_nClientWidth, m_nClientHeight},
                                           {width(), height()}, std::move(rects));
    for (qsizetype index = 0; index < children.size(); ++index)
        children[index]->setGeometry(ToQRect(result.children[static_cast<size_t>(index)]));
    m_nClientWidth = result.reference.width;
    m_nClientHeight = result.reference.height;
}

void CVantorDlg::paintEvent(QPaintEvent* event)
{
    if (isMinimized())
        return;
    QDialog::paintEvent(event);
}

void CVantorDlg::keyPressEvent(QKeyEvent* event)
{
    // Keys a page leaves unhandled arrive here, and while its renderer is
    // gone every key does: a stray Esc or Enter must not end the launcher.
    const bool endsDialog = event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
                            event->key() == Qt::Key_Enter;
    if (endsDialog) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CVantorDlg::closeEvent(QCloseEvent* event)
{
    // The pages decide first: each may keep its window with the engine's
    // leave-page question. The client closes this window again once they all
    // agreed.
    if (m_browserClient->IsClosing()) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    // Running downloads end with the window: the user may keep waiting.
    if (m_browserClient->MayCloseMainWindow())
        m_browserClient->CloseAllBrowsers(false);
}

void CVantorDlg::OnDestroy()
{
    m_browserClient->CloseAllBrowsers(true);
}
