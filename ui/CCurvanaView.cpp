#include "ui/CCurvanaView.h"

#include <cmath>

#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QWheelEvent>

#include "platform/CLocale.h"
#include "ui/CCurvanaDoc.h"
#include "ui/DocumentCommands.h"
#include "ui/ImageExport.h"
#include "ui/QtGraphics.h"
#include "ui/Resources.h"
#include "ui/SerialRaster.h"
#include "ui/SharedTexts.h"
#include "view/PlotRenderer.h"
#include "view/StatusText.h"

namespace {

const char* const kZoomInRefused = "Fonction Zoom+ impossible\n\nLes points origine et extrémité "
                                   "ont\nla même abscisse ou ordonnée";
const char* const kZoomOutRefused = "Fonction Zoom- impossible\n\nLes points origine et "
                                    "extrémité ont\nla même abscisse ou ordonnée";

// One wheel notch, in eighths of a degree.
constexpr double kNotch = 120.0;

PixelPoint ToPixel(const QPointF& p)
{
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

MouseButton ButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::Other;
    }
}

QCursor CursorOf(PointerShape shape)
{
    switch (shape) {
    case PointerShape::ZoomIn:
        return ToolCursor(Tool::ZoomIn);
    case PointerShape::ZoomOut:
        return ToolCursor(Tool::ZoomOut);
    case PointerShape::Translation:
        return ToolCursor(Tool::Translation);
    case PointerShape::ClosedHand:
        return Qt::ClosedHandCursor;
    case PointerShape::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace

CCurvanaView::CCurvanaView(CCurvanaDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ShowPointer();
    connect(&doc_, &CCurvanaDoc::HistoryApplied, this, qOverload<>(&QWidget::update));
    connect(&doc_, &CCurvanaDoc::DocumentReplaced, this, &CCurvanaView::Retrace);
}

void CCurvanaView::SelectTool(Tool tool)
{
    tools_.Arm(tool);
    ShowPointer();
}

void CCurvanaView::ShowPointer()
{
    setCursor(CursorOf(tools_.Pointer()));
}

void CCurvanaView::Retrace()
{
    cache_.Invalidate();
    plotValid_ = false;
    update();
}

void CCurvanaView::DrawPlotImage()
{
    CFunctionsContext& context = doc_.Context();
    const qreal ratio = devicePixelRatioF();
    // Measured on every paint: the size and dpi the mouse tools and the next save use.
    PrepareSurface(context, width(), height(), logicalDpiX());
    PlotInputs inputs = PlotInputs::Of(context);
    if (plotValid_ && ratio == plotRatio_ && inputs == plotInputs_)
        return;
    const QSize pixels(static_cast<int>(std::ceil(width() * ratio)),
        static_cast<int>(std::ceil(height() * ratio)));
    if (plot_.size() != pixels)
        plot_ = QImage(pixels, QImage::Format_RGB32);
    plot_.setDevicePixelRatio(ratio);
    const PlotSurface surface {Medium::Screen, width(), height(), logicalDpiX()};
    PaintSerially([&] {
        plot_.fill(Qt::white);
        QPainter painter(&plot_);
        QtGraphics graphics(painter);
        DrawPlot(graphics, context, surface, {}, &cache_);
    });
    plotInputs_ = std::move(inputs);
    plotRatio_ = ratio;
    plotValid_ = true;
    ++drawings_;
}

void CCurvanaView::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    DrawPlotImage();
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), plot_);
    if (tools_.IsDragging())
        DrawBand(painter);
}

void CCurvanaView::DrawBand(QPainter& painter) const
{
    const QPoint a(tools_.anchor.x, tools_.anchor.y);
    const QPoint p(tools_.current.x, tools_.current.y);
    // A white pen in exclusive-or shows on any colour of the plot; where the surface cannot do
    // that, a dashed black line over a white one.
    const bool xorPen = painter.paintEngine() != nullptr
        && painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    const auto draw = [&](const QPen& pen) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        if (tools_.bandKind == BandKind::Line)
            painter.drawLine(a, p);
        else
            painter.drawPolyline(QPolygon({a, QPoint(a.x(), p.y()), p, QPoint(p.x(), a.y()), a}));
    };
    if (xorPen) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        draw(QPen(Qt::white, 0));
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    draw(QPen(Qt::white, 0));
    draw(QPen(Qt::black, 0, Qt::DashLine));
}

QString CCurvanaView::CoordinatesAt(PixelPoint p) const
{
    return Text(PointerStatusText(doc_.Context(), p));
}

void CCurvanaView::mousePressEvent(QMouseEvent* event)
{
    if (tools_.ButtonDown(
            ButtonOf(event->button()), ToPixel(event->position()), doc_.Context().area)) {
        ShowPointer();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CCurvanaView::mouseMoveEvent(QMouseEvent* event)
{
    const PixelPoint p = ToPixel(event->position());
    CFunctionsContext& c = doc_.Context();
    if (tools_.PointerMoved(p, c.area, c.screenWidth, c.screenHeight))
        update();
    emit StatusText(CoordinatesAt(p));
}

void CCurvanaView::mouseReleaseEvent(QMouseEvent* event)
{
    CFunctionsContext& c = doc_.Context();
    const ButtonUp up
        = tools_.ButtonReleased(ButtonOf(event->button()), ToPixel(event->position()), c.area);
    switch (up.kind) {
    case ButtonUp::ToolUsed:
        ShowPointer();
        update(); // the band goes
        RunArmedTool(up.tool);
        return;
    case ButtonUp::PanEnded:
        ShowPointer();
        if (up.moved) {
            // The drag moved the area live; the whole of it becomes one step.
            const CWorkingArea after = c.area;
            c.area = up.before;
            doc_.Apply(new AreaCommand(doc_, up.before, after, QString()));
        }
        return;
    case ButtonUp::Ignored:
        break;
    }
    QWidget::mouseReleaseEvent(event);
}

void CCurvanaView::RunArmedTool(Tool tool)
{
    CFunctionsContext& c = doc_.Context();
    const CWorkingArea before = c.area;
    CWorkingArea after = before;
    switch (RunTool(tool, after, c.screenWidth, c.screenHeight, tools_.anchor, tools_.current)) {
    case ToolOutcome::Changed:
        doc_.Apply(new AreaCommand(doc_, before, after, QString()));
        update();
        break;
    case ToolOutcome::Refused:
        QMessageBox::critical(this, QStringLiteral("Curvana"),
            Text(tool == Tool::ZoomIn ? kZoomInRefused : kZoomOutRefused));
        break;
    case ToolOutcome::Unchanged:
        break;
    }
}

void CCurvanaView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / kNotch;
    CFunctionsContext& c = doc_.Context();
    const CWorkingArea before = c.area;
    CWorkingArea after = before;
    const QPointF p = event->position();
    if (tools_.WheelZooms()
        && WheelZoom(after, c.screenWidth, c.screenHeight, p.x(), p.y(), notches)
            == ToolOutcome::Changed) {
        doc_.Apply(new WheelZoomCommand(doc_, before, after, QString()));
        update();
        emit StatusText(CoordinatesAt(ToPixel(p)));
    }
    event->accept();
}

void CCurvanaView::leaveEvent(QEvent* event)
{
    emit StatusText(Text(IdleStatusText()));
    QWidget::leaveEvent(event);
}

void CCurvanaView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && tools_.EscapePressed()) {
        ShowPointer();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool CCurvanaView::ExportPng(const QString& path, QString& error)
{
    std::string reason;
    const bool ok = ExportDrawing(QFile::encodeName(path).toStdString(), ImageFormat::Png,
        doc_.Context(), {Medium::LastScreen, width(), height()}, {}, reason);
    if (!ok)
        error = QString::fromStdString(reason);
    return ok;
}
