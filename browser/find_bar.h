#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QWebEngineFindTextResult;
class QWebEngineView;

// The find bar of one browser view: a strip along the view's bottom edge with
// a text box, previous and next, the match count and a close button. Hidden
// until Ctrl+F; Esc or the close button hides it and clears the highlights.
class FindBar : public QWidget {
    Q_OBJECT

public:
    // The view's find bar, made at its first use: most pages never need one.
    static FindBar& Of(QWebEngineView* view);

    // Shows the bar with the text box focused and its text selected.
    void Open();
    void Close();
    void FindNext();
    void FindPrevious();

    QString MatchText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FindBar(QWebEngineView* view);

    void Find(bool backward);
    void ShowResult(const QWebEngineFindTextResult& result);
    void PlaceAtBottom();

    QWebEngineView* m_view;
    QLineEdit* m_text;
    QLabel* m_matches;
    QTimer m_typingPause;
};
