#pragma once

#include <QObject>

#include "browser/sign_in_dialog.h"

class QAuthenticator;
class QUrl;
class QWebEngineLoadingInfo;
class QWebEnginePage;

// Answers the HTTP and proxy sign-in requests of one page with the sign-in
// dialog: at most three times for one page load, after which, as after
// Cancel, the server's own page shows. The engine keeps accepted credentials
// in memory for the session; nothing is written to disk.
class HttpSignIn : public QObject {
    Q_OBJECT

public:
    explicit HttpSignIn(QWebEnginePage* page);

private:
    void OnServerRequest(const QUrl& requestUrl, QAuthenticator* authenticator);
    void OnProxyRequest(const QUrl& requestUrl, QAuthenticator* authenticator,
                        const QString& proxyHost);
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    // Fills the authenticator from the dialog, or empties it to give up.
    void Answer(SignInDialog::Asker asker, const QString& host, QAuthenticator* authenticator);

    QWebEnginePage* m_page;
    int m_asked = 0;
};
