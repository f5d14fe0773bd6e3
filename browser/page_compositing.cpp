#include "browser/page_compositing.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>

#include <string>

#include "browser/software_rasterizer.h"

namespace {

// The Qt Quick backend named in the environment, as Qt Quick and the engine
// read it; empty when none is.
QString BackendChosenInEnvironment()
{
    const QString backend = qEnvironmentVariable("QT_QUICK_BACKEND");
    return backend.isEmpty() ? qEnvironmentVariable("QMLSCENE_DEVICE") : backend;
}

bool IsSoftwareBackend(const QString& backend)
{
    return backend == QLatin1String("software") || backend == QLatin1String("softwarecontext");
}

// GL_RENDERER of the context the engine shares its OpenGL resources through;
// empty when there is none.
std::string SharedContextRenderer()
{
    QOpenGLContext* shared = QOpenGLContext::globalShareContext();
    if (!shared || !shared->isValid())
        return {};
    QOffscreenSurface surface;
    surface.setFormat(shared->format());
    surface.create();
    if (!shared->makeCurrent(&surface))
        return {};
    const auto* renderer = reinterpret_cast<const char*>(shared->functions()->glGetString(GL_RENDERER));
    std::string name = renderer ? renderer : "";
    shared->doneCurrent();
    return name;
}

}

void ChoosePageCompositing()
{
    // Set for a choice of the environment too, which Qt Quick does not report.
    const QString chosen = BackendChosenInEnvironment();
    if (chosen.isEmpty() ? IsSoftwareRasterizer(SharedContextRenderer()) : IsSoftwareBackend(chosen))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

bool PagesCompositedInSoftware()
{
    // graphicsApi() names the OpenGL of Qt Quick's default backend even then.
    return IsSoftwareBackend(QQuickWindow::sceneGraphBackend());
}
