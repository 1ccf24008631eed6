#include "ui/Resources.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

QPixmap Render(const QString& path, int size, qreal ratio)
{
    const int pixels = qRound(size * ratio);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

QIcon ProgramIcon(const QString& name)
{
    const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        for (qreal ratio : {1.0, 2.0})
            icon.addPixmap(Render(path, size, ratio));
    return icon;
}

QCursor ToolCursor(Tool tool)
{
    struct CursorImage {
        const char* path;
        int hotX, hotY;
    };
    CursorImage image {nullptr, 0, 0};
    switch (tool) {
    case Tool::ZoomIn:
        image = {":/cursors/zoom-in.svg", 11, 12};
        break;
    case Tool::ZoomOut:
        image = {":/cursors/zoom-out.svg", 11, 12};
        break;
    case Tool::Translation:
        image = {":/cursors/hand.svg", 5, 9};
        break;
    case Tool::None:
        return QCursor(Qt::ArrowCursor);
    }
    const qreal ratio = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
    // The hot spot is in the cursor's own 32 x 32 units, whatever the scaling.
    return QCursor(Render(QString::fromLatin1(image.path), 32, ratio), image.hotX, image.hotY);
}
