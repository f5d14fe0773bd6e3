#pragma once

#include <QWidget>

class QPushButton;

// Covers a page whose renderer died again soon after it was reloaded: a short
// notice and a button that loads the page again.
class CrashNotice : public QWidget {
    Q_OBJECT

public:
    // Covers `page`, the view of the page, and follows its size.
    explicit CrashNotice(QWidget& page);

    // Shows the notice with the keyboard focus on its button.
    void ShowOverPage();

signals:
    void reloadClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* m_reloadButton;
};
