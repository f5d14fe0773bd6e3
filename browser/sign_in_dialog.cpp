#include "browser/sign_in_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QVBoxLayout>

namespace {

// The engine hands over the realm's bytes read as Latin-1; servers that name
// their realm in Chinese send UTF-8.
QString RealmText(const QString& realm)
{
    const QByteArray bytes = realm.toLatin1();
    if (QString::fromLatin1(bytes) != realm)
        return realm;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(bytes);
    return utf8.hasError() ? realm : decoded;
}

QString Request(SignInDialog::Asker asker, const QString& host, const QString& realm)
{
    QString text = asker == SignInDialog::Asker::Proxy
                       ? QStringLiteral("代理服务器 %1 要求提供用户名和密码。").arg(host)
                       : QStringLiteral("%1 要求提供用户名和密码。").arg(host);
    if (!realm.isEmpty())
        text += QStringLiteral("\n该网站说明：“%1”").arg(RealmText(realm));
    return text;
}

}

SignInDialog::SignInDialog(Asker asker, const QString& host, const QString& realm, QWidget* parent)
    : QDialog(parent), m_user(new QLineEdit(this)), m_password(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("需要登录"));
    m_user->setObjectName(QStringLiteral("user"));
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);

    auto* request = new QLabel(Request(asker, host, realm), this);
    // A realm is the server's text: shown as it is, never as markup.
    request->setTextFormat(Qt::PlainText);
    request->setWordWrap(true);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("用户名："), m_user);
    fields->addRow(QStringLiteral("密码："), m_password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("登录"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(request);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    setMinimumWidth(360);
    m_user->setFocus();
}

QString SignInDialog::User() const
{
    return m_user->text();
}

QString SignInDialog::Password() const
{
    return m_password->text();
}
