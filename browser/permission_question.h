#pragma once

#include <QObject>
#include <QWebEnginePage>

class PermissionAnswers;

// Answers every feature request of one page: notifications, location,
// camera, microphone and screen sharing after a question to the user, once
// per site and feature in the session; the pointer lock is refused.
class PermissionQuestion : public QObject {
    Q_OBJECT

public:
    PermissionQuestion(QWebEnginePage* page, PermissionAnswers& answers);

private:
    void OnRequested(const QUrl& origin, QWebEnginePage::Feature feature);
    bool Ask(const QUrl& origin, QWebEnginePage::Feature feature) const;

    QWebEnginePage* m_page;
    PermissionAnswers& m_answers;
};
