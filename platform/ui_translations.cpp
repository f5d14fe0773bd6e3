#include "platform/ui_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

constexpr const char* kCatalogues[] = {"qtbase_zh_CN", "qtwebengine_zh_CN"};

}

void InstallChineseTranslations(QCoreApplication& application)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* catalogue : kCatalogues) {
        auto* translator = new QTranslator(&application);
        // A missing catalogue leaves its texts in English; nothing else changes.
        if (translator->load(QString::fromLatin1(catalogue), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}
