#include "ui/CCurvanaView.h"

#include <cmath>

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "model/CurveKind.h"
#include "model/FormulaCheck.h"
#include "platform/CLocale.h"
#include "platform/Numeric.h"
#include "ui/CCurvanaDoc.h"
#include "ui/Cp1252Text.h"
#include "ui/DocumentCommands.h"
#include "ui/FormulaMessages.h"
#include "ui/ImageExport.h"
#include "ui/MarkSearch.h"
#include "ui/QtGraphics.h"
#include "ui/Resources.h"
#include "ui/SerialRaster.h"
#include "ui/SharedTexts.h"
#include "view/PlotRenderer.h"
#include "view/StatusText.h"
#include "view/TraceText.h"

namespace {

const char* const kZoomInRefused = "Fonction Zoom+ impossible\n\nLes points origine et extrémité "
                                   "ont\nla même abscisse ou ordonnée";
const char* const kZoomOutRefused = "Fonction Zoom- impossible\n\nLes points origine et "
                                    "extrémité ont\nla même abscisse ou ordonnée";

// One wheel notch, in eighths of a degree.
constexpr double kNotch = 120.0;

// The plot's context menu, in order: each entry's text and its status-bar prompt.
struct ContextEntry {
    const char* text;
    const char* prompt;
};
constexpr ContextEntry kTraceEntry {
    "&Suivre la courbe", "Suit la courbe la plus proche du pointeur (flèches, Tab, Échap)"};
constexpr ContextEntry kMarksEntry {
    "&Points remarquables", "Affiche ou masque les points remarquables des courbes"};
constexpr ContextEntry kTangentEntry {
    "&Tangente en ce point", "Trace la tangente à la courbe au point suivi"};
constexpr ContextEntry kCopyEntry {"&Copier les coordonnées",
    "Copie les coordonnées du point suivi, ou du pointeur, dans le presse-papiers"};
constexpr ContextEntry kCentreEntry {"C&entrer ici", "Centre la vue sur ce point"};

// What a screen reader calls the view; it reads the trace's text as the view's description.
constexpr char kViewName[] = "Zone de tracé";

// How long the view must rest before the remarkable points are searched again.
constexpr int kSearchDelayMs = 150;

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
    case PointerShape::Cross:
        return Qt::CrossCursor;
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

    setAccessibleName(Text(kViewName));
    search_ = new MarkSearch(this);
    connect(search_, &MarkSearch::Found, this, &CCurvanaView::MarksFound);
    searchDelay_.setSingleShot(true);
    searchDelay_.setInterval(kSearchDelayMs);
    connect(&searchDelay_, &QTimer::timeout, this, &CCurvanaView::StartSearch);
    connect(&doc_, &CCurvanaDoc::HistoryApplied, this, &CCurvanaView::DocumentChanged);
    connect(&doc_, &CCurvanaDoc::DocumentReplaced, this, [this] {
        LeaveTrace();
        search_->Cancel();
        searchDelay_.stop();
        searchedValid_ = false;
        marks_.Reset(0);
        ++marksVersion_;
    });
    BuildContextMenu();
}

void CCurvanaView::BuildContextMenu()
{
    menu_ = new QMenu(this);
    const auto add = [this](const ContextEntry& entry, bool checkable) {
        auto* action = new QAction(Text(entry.text), this);
        action->setStatusTip(Text(entry.prompt));
        action->setCheckable(checkable);
        menu_->addAction(action);
        return action;
    };
    traceAction_ = add(kTraceEntry, true);
    marksAction_ = add(kMarksEntry, true);
    tangentAction_ = add(kTangentEntry, true);
    menu_->addSeparator();
    copyAction_ = add(kCopyEntry, false);
    centreAction_ = add(kCentreEntry, false);
    connect(traceAction_, &QAction::triggered, this, [this](bool checked) {
        if (!checked)
            LeaveTrace();
        else if (!TraceNearest(menuPoint_))
            traceAction_->setChecked(false);
    });
    connect(marksAction_, &QAction::triggered, this, &CCurvanaView::ShowMarks);
    connect(tangentAction_, &QAction::triggered, this, [this](bool checked) {
        trace_.ShowTangent(checked);
        ShowTrace();
        update();
    });
    connect(copyAction_, &QAction::triggered, this, [this] { CopyCoordinates(menuPoint_); });
    connect(centreAction_, &QAction::triggered, this, [this] { CentreAt(menuPoint_); });
    // What the pane said before the prompts of the entries took it.
    connect(menu_, &QMenu::aboutToHide, this, [this] { emit StatusText(RestingText()); });
}

bool CCurvanaView::AnyCurveDrawn() const
{
    for (const std::vector<PlotPoint>& points : cache_.Points())
        for (const PlotPoint& p : points)
            if (p.penDown)
                return true;
    return false;
}

QMenu* CCurvanaView::ContextMenuAt(PixelPoint p)
{
    menuPoint_ = p;
    const bool drawn = AnyCurveDrawn();
    traceAction_->setEnabled(drawn || trace_.Active());
    traceAction_->setChecked(trace_.Active());
    marksAction_->setEnabled(drawn || marksShown_);
    marksAction_->setChecked(marksShown_);
    tangentAction_->setEnabled(trace_.Active() && trace_.Compiled());
    tangentAction_->setChecked(trace_.TangentShown());
    return menu_;
}

void CCurvanaView::contextMenuEvent(QContextMenuEvent* event)
{
    QPoint at = event->pos();
    // From the keyboard, the menu opens on the traced point rather than the middle of the view.
    const CurveValues& v = trace_.Values();
    if (event->reason() == QContextMenuEvent::Keyboard && trace_.Active() && v.defined) {
        const CFunctionsContext& c = doc_.Context();
        const QPointF point(c.WorldToPixelX(v.x), c.WorldToPixelY(v.y));
        if (rect().contains(point.toPoint()))
            at = point.toPoint();
    }
    ContextMenuAt(ToPixel(at))->exec(mapToGlobal(at));
}

bool CCurvanaView::TraceNearest(PixelPoint p)
{
    CFunctionsContext& c = doc_.Context();
    const int curve = NearestCurve(cache_.Points(), c.params.joinedLines, p.x, p.y);
    if (curve < 0 || curve >= c.GetCount())
        return false;
    trace_.Start(c, curve, p, marks_);
    tools_.SetMode(DragMode::Trace);
    ShowPointer();
    setFocus(Qt::OtherFocusReason);
    ShowTrace();
    update();
    return true;
}

void CCurvanaView::LeaveTrace()
{
    if (!trace_.Active() && tools_.Mode() == DragMode::Pan)
        return;
    trace_.Leave();
    tools_.SetMode(DragMode::Pan);
    setAccessibleDescription(QString());
    ShowPointer();
    if (!marksShown_) {
        search_->Cancel();
        searchDelay_.stop();
        searchedValid_ = false;
    }
    update();
    emit StatusText(underMouse() ? CoordinatesAt(pointer_) : RestingText());
}

QString CCurvanaView::TraceText() const
{
    if (!trace_.Active())
        return {};
    if (trace_.Compiled())
        return Text(trace_.StatusText());
    // In the words of the function editor's line under the formula.
    const int curve = trace_.Curve();
    const CFunction& f = doc_.Context().GetAt(curve).function;
    const int failed = std::max(0, trace_.FailedFormula());
    const std::string& formula = failed == 0 ? f.Formula1() : f.Formula2();
    const CurveKind* kind = FindCurveKind(f.Type());
    const char* name = kind != nullptr && kind->formulaNames[failed] != nullptr
        ? kind->formulaNames[failed]
        : "formule";
    const FormulaMessage message = DescribeCheck(
        CheckFormula(formula, f.Type()), f.Type(), static_cast<int>(FromCp1252(formula).size()));
    return Text(UntraceableText(curve, name, message.text.toStdString()));
}

QString CCurvanaView::RestingText() const
{
    return trace_.Active() ? TraceText() : Text(IdleStatusText());
}

void CCurvanaView::ShowTrace()
{
    Say(TraceText());
}

void CCurvanaView::Say(const QString& text)
{
    setAccessibleDescription(text);
    emit StatusText(text);
}

void CCurvanaView::ShowMarks(bool shown)
{
    marksShown_ = shown;
    ++marksVersion_;
    if (!shown && !trace_.Active()) {
        search_->Cancel();
        searchDelay_.stop();
        searchedValid_ = false;
    }
    update();
}

bool CCurvanaView::Searching() const
{
    return searchDelay_.isActive() || search_->Running();
}

void CCurvanaView::DocumentChanged()
{
    if (!trace_.Active())
        return;
    trace_.Refresh(doc_.Context());
    if (trace_.Active())
        ShowTrace();
    else
        LeaveTrace();
}

void CCurvanaView::UpdateSearch()
{
    if (!marksShown_ && !trace_.Active())
        return;
    const CFunctionsContext& c = doc_.Context();
    const double range[2] = {c.area.viewXMin, c.area.viewXMax};
    bool sameCurves = searchedValid_ && searchedCurves_.size() == c.functions.size();
    for (size_t i = 0; sameCurves && i < searchedCurves_.size(); ++i)
        sameCurves = searchedCurves_[i].SamePoints(c.functions[i].function);
    if (sameCurves && platform::SameNumber(range[0], searchedRange_[0])
        && platform::SameNumber(range[1], searchedRange_[1]))
        return;
    // Marks of other curves are wrong now; after a move of the view they still stand where
    // they belong until their curve is searched again.
    if (!sameCurves) {
        marks_.Reset(c.GetCount());
        ++marksVersion_;
        searchedCurves_.clear();
        for (const CFunctionEntry& entry : c.functions)
            searchedCurves_.push_back(entry.function);
    }
    searchedRange_[0] = range[0];
    searchedRange_[1] = range[1];
    searchedValid_ = true;
    search_->Cancel();
    searchDelay_.start();
}

void CCurvanaView::StartSearch()
{
    search_->Start(searchedCurves_, searchedRange_[0], searchedRange_[1]);
}

void CCurvanaView::MarksFound(int curve, const CurveMarks& marks)
{
    std::vector<CurveType> types;
    for (const CFunction& f : searchedCurves_)
        types.push_back(f.Type());
    marks_.Set(curve, marks, types);
    ++marksVersion_;
    update();
}

std::optional<PlotOverlay::Tangent> CCurvanaView::Tangent() const
{
    if (!trace_.Active() || !trace_.TangentShown() || !trace_.Compiled())
        return std::nullopt;
    const CurveValues& v = trace_.Values();
    if (!v.defined || std::isnan(v.Slope()))
        return std::nullopt;
    return PlotOverlay::Tangent {
        v.x, v.y, v.dx, v.dy, doc_.Context().GetAt(trace_.Curve()).function.colour};
}

PlotOverlay CCurvanaView::PrintedOverlay() const
{
    PlotOverlay overlay;
    if (marksShown_)
        AddMarks(overlay, doc_.Context(), marks_);
    overlay.tangent = Tangent();
    return overlay;
}

QString CCurvanaView::ToolTipAt(PixelPoint p) const
{
    if (!marksShown_)
        return {};
    return Text(OverlayToolTip(doc_.Context(), marks_, p));
}

bool CCurvanaView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = ToolTipAt(ToPixel(help->pos()));
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    return QWidget::event(event);
}

bool CCurvanaView::focusNextPrevChild(bool next)
{
    if (trace_.Active())
        return false;
    return QWidget::focusNextPrevChild(next);
}

void CCurvanaView::CopyCoordinates(PixelPoint p)
{
    const CFunctionsContext& c = doc_.Context();
    const CurveValues& v = trace_.Values();
    const std::string text = trace_.Active() && trace_.Compiled() && v.defined
        ? ClipboardCoordinates(v.x, v.y)
        : ClipboardCoordinates(c.PixelToWorldX(p.x), c.PixelToWorldY(p.y));
    QGuiApplication::clipboard()->setText(Text(text));
}

void CCurvanaView::CentreAt(PixelPoint p)
{
    CFunctionsContext& c = doc_.Context();
    const CWorkingArea before = c.area;
    CWorkingArea after = before;
    const PixelPoint centre {c.screenWidth / 2, c.screenHeight / 2};
    if (Translate(after, c.screenWidth, c.screenHeight, p, centre) != ToolOutcome::Changed)
        return;
    doc_.Apply(new AreaCommand(doc_, before, after, QString()));
    update();
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

void CCurvanaView::DrawMarkedPlot(QPainter& painter)
{
    const bool replotted = paintedDrawing_ != drawings_;
    paintedDrawing_ = drawings_;
    if (!marksShown_) {
        painter.drawImage(QPointF(0, 0), plot_);
        return;
    }
    if (markedDrawing_ == drawings_ && markedVersion_ == marksVersion_) {
        painter.drawImage(QPointF(0, 0), marked_);
        return;
    }
    PlotOverlay marks;
    AddMarks(marks, doc_.Context(), marks_);
    if (replotted) {
        // The view is moving: the marks are drawn over the plot without keeping the picture,
        // whose copy would cost as much again at every frame.
        painter.drawImage(QPointF(0, 0), plot_);
        painter.save();
        {
            QtGraphics graphics(painter);
            DrawOverlay(graphics, doc_.Context(), marks);
        }
        painter.restore();
        return;
    }
    marked_ = plot_;
    if (!marks.Empty()) {
        QPainter onImage(&marked_);
        QtGraphics graphics(onImage);
        DrawOverlay(graphics, doc_.Context(), marks);
    }
    markedDrawing_ = drawings_;
    markedVersion_ = marksVersion_;
    painter.drawImage(QPointF(0, 0), marked_);
}

void CCurvanaView::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    DrawPlotImage();
    // The displayed range is known now: the marks of curves that changed go.
    UpdateSearch();
    QPainter painter(this);
    DrawMarkedPlot(painter);
    // The tangent and the crosshair over the kept plot: moving them draws no curve.
    PlotOverlay overlay;
    overlay.tangent = Tangent();
    if (trace_.Active() && trace_.Compiled()) {
        const CurveValues& v = trace_.Values();
        const CurveKind* kind = FindCurveKind(trace_.Type());
        const int32_t colour = doc_.Context().GetAt(trace_.Curve()).function.colour;
        if (v.defined)
            overlay.crosshair = PlotOverlay::Crosshair {v.x, v.y, colour};
        else if (kind != nullptr && kind->point == PointRule::Graph)
            overlay.crosshair = PlotOverlay::Crosshair {v.variable, std::nan(""), colour};
    }
    if (!overlay.Empty()) {
        painter.save();
        {
            QtGraphics graphics(painter);
            DrawOverlay(graphics, doc_.Context(), overlay);
        }
        painter.restore();
    }
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
    const MouseButton button = ButtonOf(event->button());
    if (tools_.ButtonDown(button, ToPixel(event->position()), doc_.Context().area)) {
        ShowPointer();
        return;
    }
    if (tools_.PicksCurve(button)) {
        TraceNearest(ToPixel(event->position()));
        return;
    }
    QWidget::mousePressEvent(event);
}

void CCurvanaView::mouseMoveEvent(QMouseEvent* event)
{
    const PixelPoint p = ToPixel(event->position());
    pointer_ = p;
    CFunctionsContext& c = doc_.Context();
    if (tools_.PointerMoved(p, c.area, c.screenWidth, c.screenHeight))
        update();
    if (trace_.Active() && !tools_.IsDragging() && !tools_.IsPanning()) {
        trace_.Follow(c, p, marks_);
        update();
        ShowTrace();
        return;
    }
    emit StatusText(trace_.Active() ? TraceText() : CoordinatesAt(p));
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
        emit StatusText(trace_.Active() ? TraceText() : CoordinatesAt(ToPixel(p)));
    }
    event->accept();
}

void CCurvanaView::leaveEvent(QEvent* event)
{
    // The trace stays where the pointer left it, and so does its text.
    emit StatusText(RestingText());
    QWidget::leaveEvent(event);
}

void CCurvanaView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && tools_.EscapePressed()) {
        ShowPointer();
        return;
    }
    if (!trace_.Active()) {
        QWidget::keyPressEvent(event);
        return;
    }
    CFunctionsContext& c = doc_.Context();
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    Trace::Jump jump = Trace::Jump::Moved;
    switch (event->key()) {
    case Qt::Key_Escape:
        LeaveTrace();
        return;
    case Qt::Key_Left:
        trace_.Step(c, -1, marks_);
        break;
    case Qt::Key_Right:
        trace_.Step(c, +1, marks_);
        break;
    case Qt::Key_Up:
        trace_.SwitchCurve(c, +1, marks_);
        break;
    case Qt::Key_Down:
        trace_.SwitchCurve(c, -1, marks_);
        break;
    case Qt::Key_Tab:
        jump = trace_.JumpToPoint(shift ? -1 : +1, marks_);
        break;
    case Qt::Key_Backtab:
        jump = trace_.JumpToPoint(-1, marks_);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    update();
    switch (jump) {
    case Trace::Jump::Moved:
        ShowTrace();
        break;
    case Trace::Jump::Pending:
        Say(Text(SearchingText(trace_.Curve())));
        break;
    case Trace::Jump::NoPoint:
        Say(Text(NoPointText(trace_.Curve())));
        break;
    }
}

bool CCurvanaView::ExportPng(const QString& path, QString& error)
{
    std::string reason;
    const PlotOverlay overlay = PrintedOverlay();
    const bool ok
        = ExportDrawing(QFile::encodeName(path).toStdString(), ImageFormat::Png, doc_.Context(),
            {Medium::LastScreen, width(), height(), 96, overlay.Empty() ? nullptr : &overlay}, {},
            reason);
    if (!ok)
        error = QString::fromStdString(reason);
    return ok;
}
