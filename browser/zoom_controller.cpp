#include "browser/zoom_controller.h"

#include <QChildEvent>
#include <QLabel>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>
#include <QWheelEvent>

#include "browser/zoom_levels.h"
#include "browser/zoom_store.h"

namespace {

constexpr int kIndicatorMilliseconds = 1500;
constexpr int kIndicatorTop = 12;

}

ZoomController::ZoomController(QWebEngineView* view)
    : QObject(view), m_view(view), m_indicator(new QLabel(view))
{
    m_indicator->setObjectName(QStringLiteral("zoomIndicator"));
    m_indicator->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_indicator->setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(40, 40, 40, 220); color: white; border-radius: 6px;"
        " padding: 6px 14px; font-size: 15px; }"));
    m_indicator->hide();
    m_indicatorTimer.setSingleShot(true);
    m_indicatorTimer.setInterval(kIndicatorMilliseconds);
    connect(&m_indicatorTimer, &QTimer::timeout, m_indicator, &QWidget::hide);

    // Each navigation may hand the page to another renderer, which starts at
    // 100 %: the host's level is set again once the page is there.
    connect(view->page(), &QWebEnginePage::urlChanged, this, &ZoomController::ApplyStoredZoom);
    connect(view->page(), &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
                    ApplyStoredZoom();
            });

    // The engine zooms on Ctrl+wheel by itself, by steps of its own that
    // nobody would remember: the wheel takes the same steps as the keys.
    view->installEventFilter(this);
    for (QObject* child : view->children())
        WatchWheelOf(child);
}

void ZoomController::ZoomIn()
{
    SetZoom(NextZoomIn(m_view->zoomFactor()));
}

void ZoomController::ZoomOut()
{
    SetZoom(NextZoomOut(m_view->zoomFactor()));
}

void ZoomController::ResetZoom()
{
    SetZoom(1.0);
}

bool ZoomController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view) {
        if (event->type() == QEvent::ChildAdded)
            WatchWheelOf(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    if (event->type() != QEvent::Wheel)
        return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier))
        return false;
    const int delta = wheel->angleDelta().y();
    if (delta > 0)
        ZoomIn();
    else if (delta < 0)
        ZoomOut();
    return true;
}

void ZoomController::SetZoom(double factor)
{
    m_view->setZoomFactor(factor);
    const QString host = CurrentHost();
    if (!host.isEmpty())
        StoreZoom(host, factor);
    ShowIndicator(factor);
}

void ZoomController::ApplyStoredZoom()
{
    const QString host = CurrentHost();
    if (host.isEmpty())
        return;
    const double factor = StoredZoom(host);
    if (!qFuzzyCompare(m_view->zoomFactor(), factor))
        m_view->setZoomFactor(factor);
}

void ZoomController::WatchWheelOf(QObject* child)
{
    if (child->isWidgetType() && child != m_indicator)
        child->installEventFilter(this);
}

void ZoomController::ShowIndicator(double factor)
{
    m_indicator->setText(QStringLiteral("缩放：%1%").arg(ZoomPercent(factor)));
    m_indicator->adjustSize();
    m_indicator->move((m_view->width() - m_indicator->width()) / 2, kIndicatorTop);
    m_indicator->show();
    m_indicator->raise();
    m_indicatorTimer.start();
}

QString ZoomController::CurrentHost() const
{
    return m_view->url().host(QUrl::FullyEncoded);
}
