#pragma once

#include <QWidget>

class QWebEngineView;

// The frame window of a pop-up browser: a plain top-level window filled by
// the browser view. Its close box asks the page first; the browser client
// ends the window once the page agreed.
class BrowserPopupWindow : public QWidget {
    Q_OBJECT

public:
    BrowserPopupWindow();

    QWebEngineView* View() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWebEngineView* m_view;
};
