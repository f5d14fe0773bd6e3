#include "browser/failed_load_retry.h"

#include <QNetworkInformation>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInfo>

#include "browser/load_retry.h"

namespace {

bool IsNetworkFailure(const QWebEngineLoadingInfo& info)
{
    return info.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
           info.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain &&
           LoadErrorIsRetried(info.errorCode());
}

}

FailedLoadRetry::FailedLoadRetry(QWebEnginePage* page)
    : QWebEngineUrlRequestInterceptor(page), m_page(page)
{
    page->setUrlRequestInterceptor(this);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FailedLoadRetry::Retry);
    connect(page, &QWebEnginePage::loadingChanged, this, &FailedLoadRetry::OnLoadingChanged);
}

void FailedLoadRetry::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
        return;
    m_lastRequestUrl = info.requestUrl();
    m_lastRequestMethod = info.requestMethod();
}

void FailedLoadRetry::OnLoadingChanged(const QWebEngineLoadingInfo& info)
{
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        // The error page starts as a document of its own, then takes the
        // failed address.
        if (info.url() != m_failedUrl && info.url().scheme() != QLatin1String("data"))
            Stop();
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        // The error page itself loads under the failed address.
        if (m_retrying || info.url() != m_failedUrl)
            Stop();
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
    case QWebEngineLoadingInfo::LoadStoppedStatus: {
        const bool sentForm = info.url() == m_lastRequestUrl && m_lastRequestMethod == "POST";
        if (IsNetworkFailure(info) && !sentForm)
            Schedule(info.url());
        else
            Stop();
        break;
    }
    }
}

void FailedLoadRetry::Schedule(const QUrl& failedUrl)
{
    if (failedUrl != m_failedUrl) {
        m_failedUrl = failedUrl;
        m_attempt = 0;
    }
    m_retrying = false;
    m_timer.start(RetryDelaySeconds(m_attempt) * 1000);
    RetrySoonerWhenOnline();
}

void FailedLoadRetry::Retry()
{
    if (m_page->url() != m_failedUrl) {
        Stop();
        return;
    }
    ++m_attempt;
    m_retrying = true;
    m_page->load(m_failedUrl);
}

void FailedLoadRetry::Stop()
{
    m_timer.stop();
    m_failedUrl.clear();
    m_attempt = 0;
    m_retrying = false;
}

void FailedLoadRetry::RetrySoonerWhenOnline()
{
    // From the first failure on: looking for the system's network state
    // costs every page's set-up several milliseconds.
    if (m_watchingNetwork)
        return;
    m_watchingNetwork = true;
    if (!QNetworkInformation::instance())
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    QNetworkInformation* network = QNetworkInformation::instance();
    if (!network)
        return;
    connect(network, &QNetworkInformation::reachabilityChanged, this,
            [this](QNetworkInformation::Reachability reachability) {
                if (reachability != QNetworkInformation::Reachability::Online ||
                    !m_timer.isActive())
                    return;
                m_timer.stop();
                Retry();
            });
}
