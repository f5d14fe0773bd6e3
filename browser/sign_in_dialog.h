#pragma once

#include <QDialog>

class QLineEdit;

// Asks for the user name and password a server or a proxy wants, naming its
// host and its realm. The focus starts in the user-name field.
class SignInDialog : public QDialog {
    Q_OBJECT

public:
    enum class Asker { Server, Proxy };

    SignInDialog(Asker asker, const QString& host, const QString& realm, QWidget* parent);

    QString User() const;
    QString Password() const;

private:
    QLineEdit* m_user;
    QLineEdit* m_password;
};
