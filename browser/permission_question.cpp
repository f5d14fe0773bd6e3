#include "browser/permission_question.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWebEngineView>

#include "browser/permission_answers.h"

namespace {

// What the site asks to do, as the question names it; empty for a feature
// that is never asked.
QString FeatureText(QWebEnginePage::Feature feature)
{
    switch (feature) {
    case QWebEnginePage::Notifications: return QStringLiteral("显示通知");
    case QWebEnginePage::Geolocation: return QStringLiteral("获取您的位置");
    case QWebEnginePage::MediaAudioCapture: return QStringLiteral("使用您的麦克风");
    case QWebEnginePage::MediaVideoCapture: return QStringLiteral("使用您的摄像头");
    case QWebEnginePage::MediaAudioVideoCapture: return QStringLiteral("使用您的摄像头和麦克风");
    case QWebEnginePage::DesktopVideoCapture: return QStringLiteral("共享您的屏幕");
    case QWebEnginePage::DesktopAudioVideoCapture: return QStringLiteral("共享您的屏幕和声音");
    case QWebEnginePage::MouseLock: break;
    }
    return QString();
}

}

PermissionQuestion::PermissionQuestion(QWebEnginePage* page, PermissionAnswers& answers)
    : QObject(page), m_page(page), m_answers(answers)
{
    connect(page, &QWebEnginePage::featurePermissionRequested, this,
            &PermissionQuestion::OnRequested);
}

void PermissionQuestion::OnRequested(const QUrl& origin, QWebEnginePage::Feature feature)
{
    const std::string site = origin.toString().toStdString();
    std::optional<bool> granted = m_answers.Find(site, feature);
    if (!granted) {
        granted = !FeatureText(feature).isEmpty() && Ask(origin, feature);
        m_answers.Remember(site, feature, *granted);
    }
    m_page->setFeaturePermission(origin, feature,
                                 *granted ? QWebEnginePage::PermissionGrantedByUser
                                          : QWebEnginePage::PermissionDeniedByUser);
}

bool PermissionQuestion::Ask(const QUrl& origin, QWebEnginePage::Feature feature) const
{
    QWebEngineView* view = QWebEngineView::forPage(m_page);
    QWidget* parent = view ? view->window() : nullptr;
    QMessageBox question(QMessageBox::Question, QStringLiteral("权限请求"),
                         QStringLiteral("网站 %1 请求%2。\n是否允许？")
                             .arg(origin.toDisplayString(), FeatureText(feature)),
                         QMessageBox::NoButton, parent);
    QPushButton* allow = question.addButton(QStringLiteral("允许"), QMessageBox::AcceptRole);
    QPushButton* deny = question.addButton(QStringLiteral("拒绝"), QMessageBox::RejectRole);
    allow->setObjectName(QStringLiteral("allow"));
    deny->setObjectName(QStringLiteral("deny"));
    question.setDefaultButton(deny);
    question.setEscapeButton(deny);
    question.exec();
    return question.clickedButton() == allow;
}
