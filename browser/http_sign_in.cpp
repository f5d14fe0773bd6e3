#include "browser/http_sign_in.h"

#include <QAuthenticator>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// Enough for a mistyped password; a server that never accepts anything must
// not keep the user in a loop of dialogs.
constexpr int kMostQuestionsPerLoad = 3;

}

HttpSignIn::HttpSignIn(QWebEnginePage* page) : QObject(page), m_page(page)
{
    connect(page, &QWebEnginePage::authenticationRequired, this, &HttpSignIn::OnServerRequest);
    connect(page, &QWebEnginePage::proxyAuthenticationRequired, this, &HttpSignIn::OnProxyRequest);
    connect(page, &QWebEnginePage::loadingChanged, this, &HttpSignIn::OnLoadingChanged);
}

void HttpSignIn::OnServerRequest(const QUrl& requestUrl, QAuthenticator* authenticator)
{
    Answer(SignInDialog::Asker::Server, requestUrl.host(), authenticator);
}

void HttpSignIn::OnProxyRequest(const QUrl&, QAuthenticator* authenticator,
                                const QString& proxyHost)
{
    Answer(SignInDialog::Asker::Proxy, proxyHost, authenticator);
}

void HttpSignIn::OnLoadingChanged(const QWebEngineLoadingInfo& info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
        m_asked = 0;
}

void HttpSignIn::Answer(SignInDialog::Asker asker, const QString& host, QAuthenticator* authenticator)
{
    if (m_asked >= kMostQuestionsPerLoad) {
        *authenticator = QAuthenticator();
        return;
    }
    ++m_asked;
    QWebEngineView* view = QWebEngineView::forPage(m_page);
    SignInDialog dialog(asker, host, authenticator->realm(),
                        view ? view->window() : nullptr);
    if (dialog.exec() != QDialog::Accepted) {
        *authenticator = QAuthenticator();
        return;
    }
    authenticator->setUser(dialog.User());
    authenticator->setPassword(dialog.Password());
}
