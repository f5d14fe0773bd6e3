#pragma once

#include <QWidget>

// The small window that takes the site-code dialog's place while the typed
// code is looked up: "正在查询站点…". The user cannot close it; the lookup
// ends by itself within its time-out.
class SiteLookupWindow : public QWidget {
    Q_OBJECT

public:
    SiteLookupWindow();

    // Shows the window centred where `dialog` was.
    void ShowInPlaceOf(const QWidget& dialog);

protected:
    void closeEvent(QCloseEvent* event) override;
};
