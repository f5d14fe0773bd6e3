#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QLabel;
class QWebEngineView;

// Zoom of one browser view: Ctrl+plus, Ctrl+minus, Ctrl+0 and Ctrl+wheel step
// through the zoom levels, the level is remembered for the page's host and
// applied again whenever the view shows that host, and a short indicator
// shows each new level.
class ZoomController : public QObject {
    Q_OBJECT

public:
    explicit ZoomController(QWebEngineView* view);

    void ZoomIn();
    void ZoomOut();
    void ResetZoom();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetZoom(double factor);
    void ApplyStoredZoom();
    void WatchWheelOf(QObject* child);
    void ShowIndicator(double factor);
    QString CurrentHost() const;

    QWebEngineView* m_view;
    QLabel* m_indicator;
    QTimer m_indicatorTimer;
};
