// The smallest embedded-browser window the launcher is measured against: the
// same Qt WebEngine with the profile settings of the launcher's engine set-up
// (browser/cefbrowserapp.cpp), a maximised container window holding one view,
// the page's title as the caption. --software-compositing has the engine
// composite its pages in software, as the launcher does where OpenGL is a
// software rasteriser (browser/page_compositing.h).
//
//   bare_browser [--software-compositing] URL
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWidget>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const bool software = argc == 3 && std::strcmp(argv[1], "--software-compositing") == 0;
    if (argc != 2 && !software) {
        std::fprintf(stderr, "usage: bare_browser [--software-compositing] URL\n");
        return 2;
    }
    if (software)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));

    QWebEngineProfile profile(QStringLiteral("QLX_Cache"));
    const QString cachePath =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)).filePath("QLX_Cache");
    profile.setPersistentStoragePath(cachePath);
    profile.setCachePath(cachePath);
    profile.setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile.setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile.setHttpAcceptLanguage(QStringLiteral("zh-CN"));

    QWidget window;
    auto* view = new QWebEngineView(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    auto* page = new QWebEnginePage(&profile, view);
    view->setPage(page);
    QObject::connect(page, &QWebEnginePage::titleChanged, &window, &QWidget::setWindowTitle);
    page->load(QUrl(QString::fromLocal8Bit(argv[argc - 1])));
    window.showMaximized();
    return application.exec();
}
