#pragma once

#include <QObject>

class QWidget;

// Keeps a window maximised across its first show. Qt replaces the native
// window before the first show of a page, for the OpenGL surface the page
// needs, and a window manager may then map the new one at its normal size:
// the first state it reports must still be maximised. Where pages are
// composited in software no window is replaced, and it does nothing: it would
// otherwise take the user's first restore for the window manager's.
class FirstShowMaximizer : public QObject {
    Q_OBJECT

public:
    // Watches `window` and lives as long as it does.
    explicit FirstShowMaximizer(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Stage { BeforeShow, Watching, Done };

    QWidget& m_window;
    Stage m_stage = Stage::BeforeShow;
};
