#pragma once

// The plot view: the whole client area of the main window is the plot. It paints through the one
// drawing of the core, keeps the last plot in an image so that a repaint that changes nothing the
// plot depends on (an expose, the rubber band, the trace cursor) draws no curve again, and hands
// mouse events to the tool state of the core (the one-shot zoom and translation tools, panning by
// dragging), doing what it answers; the wheel zooms about the pointer. The status texts come from
// the core too. Its context menu traces a curve, shows the remarkable points (searched off this
// thread), the tangent, copies coordinates and centres the view; the marks, the crosshair and the
// tangent are drawn over the kept image.

#include <optional>

#include <QImage>
#include <QTimer>
#include <QWidget>

#include "view/MouseTools.h"
#include "view/PlotCache.h"
#include "view/PlotOverlay.h"
#include "view/RemarkableSet.h"
#include "view/Trace.h"

class CCurvanaDoc;
class MarkSearch;
class QAction;
class QMenu;

class CCurvanaView : public QWidget {
    Q_OBJECT

public:
    explicit CCurvanaView(CCurvanaDoc& doc, QWidget* parent = nullptr);

    // Arms a one-shot tool ("Zoom +", "Zoom -", "Translation").
    void SelectTool(Tool tool);
    const ToolState& Tools() const { return tools_; }

    // "Trace !": the next paint samples every curve again.
    void Retrace();

    // "Export PNG...": a bitmap of the view's size on white, drawn with the surface, view and dpi
    // of the last paint, with the marks and the tangent when they are shown. On failure returns
    // false with the reason.
    bool ExportPng(const QString& path, QString& error);

    // Times the plot was drawn into the image, and the curves sampled (for tests and benchmarks).
    long PlotDrawings() const { return drawings_; }
    long Samplings() const { return cache_.Samplings(); }

    // The text of the status bar's first pane for the pointer at p.
    QString CoordinatesAt(PixelPoint p) const;
    // The pane when nothing else is to be said: the trace's text while a curve is traced.
    QString RestingText() const;

    // The context menu, made ready for a click at p (what it offers, what is checked).
    QMenu* ContextMenuAt(PixelPoint p);

    // The trace: starts on the curve nearest p (false when no curve is drawn), or ends.
    bool TraceNearest(PixelPoint p);
    void LeaveTrace();
    const Trace& Tracing() const { return trace_; }
    // The remarkable points: shown or hidden, and what the search found so far.
    void ShowMarks(bool shown);
    bool MarksShown() const { return marksShown_; }
    const RemarkableSet& Marks() const { return marks_; }
    // Whether a search is waiting to start or running.
    bool Searching() const;
    // What printing and exporting draw over the plot: the marks and the tangent when shown.
    PlotOverlay PrintedOverlay() const;
    // The tooltip at p: the mark or shaded range there, if the marks are shown.
    QString ToolTipAt(PixelPoint p) const;

    QSize sizeHint() const override { return QSize(800, 600); }

signals:
    // The status bar's first pane: coordinates under the pointer, the trace, or the idle prompt.
    void StatusText(const QString& text);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Tab and Shift+Tab visit remarkable points while a curve is traced.
    bool focusNextPrevChild(bool next) override;

private:
    void DrawPlotImage();
    // Copies the kept plot, with the marks over it when they are shown. A picture of both is
    // kept in turn until the plot or the marks change.
    void DrawMarkedPlot(QPainter& painter);
    void DrawBand(QPainter& painter) const;
    void RunArmedTool(Tool tool);
    void ShowPointer();
    void BuildContextMenu();
    // Whether some curve has a drawn point in the view.
    bool AnyCurveDrawn() const;
    QString TraceText() const;
    void ShowTrace();
    // The trace's pane, also the view's description for a screen reader.
    void Say(const QString& text);
    // The tangent at the traced point, when shown and defined.
    std::optional<PlotOverlay::Tangent> Tangent() const;
    void CopyCoordinates(PixelPoint p);
    void CentreAt(PixelPoint p);
    void DocumentChanged();
    // Starts the search again when what it depends on changed and someone needs it.
    void UpdateSearch();
    void StartSearch();
    void MarksFound(int curve, const CurveMarks& marks);

    CCurvanaDoc& doc_;
    ToolState tools_;
    PlotCache cache_;
    QImage plot_;
    PlotInputs plotInputs_;
    qreal plotRatio_ = 0;
    bool plotValid_ = false;
    long drawings_ = 0;

    Trace trace_;
    RemarkableSet marks_;
    bool marksShown_ = false;
    long marksVersion_ = 0; // counts the changes of the marks shown
    QImage marked_;
    long markedDrawing_ = -1; // the plot drawing and marks version marked_ was made of
    long markedVersion_ = -1;
    long paintedDrawing_ = -1; // the plot drawing the last paint showed
    MarkSearch* search_ = nullptr;
    // The search waits for the view to rest a moment: a pan or a zoom changes it at every frame.
    QTimer searchDelay_;
    // What the current marks were searched for: the curves and the displayed x range.
    std::vector<CFunction> searchedCurves_;
    double searchedRange_[2] = {0, 0};
    bool searchedValid_ = false;

    QMenu* menu_ = nullptr;
    QAction* traceAction_ = nullptr;
    QAction* marksAction_ = nullptr;
    QAction* tangentAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* centreAction_ = nullptr;
    PixelPoint menuPoint_;
    PixelPoint pointer_;
};
