#pragma once

#include <QByteArray>
#include <QTimer>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

class QWebEngineLoadingInfo;
class QWebEnginePage;

// Loads a page again by itself after it failed on the network, while its
// error page shows: after 5 s, then at doubling intervals up to a minute, and
// at once when the system reports the network back. A form sent with POST is
// never sent again; a load the user cancelled is not retried; navigating
// elsewhere ends the retries.
class FailedLoadRetry : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT

public:
    explicit FailedLoadRetry(QWebEnginePage* page);

    // Records the method of each main-frame request of the page.
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    void Schedule(const QUrl& failedUrl);
    void Retry();
    void Stop();
    void RetrySoonerWhenOnline();

    QWebEnginePage* m_page;
    QTimer m_timer;
    QUrl m_failedUrl;
    int m_attempt = 0;
    bool m_retrying = false;
    bool m_watchingNetwork = false;
    QUrl m_lastRequestUrl;
    QByteArray m_lastRequestMethod;
};
