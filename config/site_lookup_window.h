#pragma once

#include <QFrame>

// The small window that takes the site-code dialog's place while the typed
// code is looked up: "正在查询站点…". It has no frame of the window manager's
// and cannot be closed: the lookup ends by itself within its time-out.
class SiteLookupWindow : public QFrame {
    Q_OBJECT

public:
    SiteLookupWindow();

    // Shows the window centred where `dialog` was.
    void ShowInPlaceOf(const QWidget& dialog);

protected:
    void closeEvent(QCloseEvent* event) override;
};
