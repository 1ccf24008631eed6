#pragma once

// The plot view: the whole client area of the main window is the plot. It paints through the one
// drawing of the core, keeps the last plot in an image so that a repaint that changes nothing the
// plot depends on (an expose, the rubber band) draws no curve again, and hands mouse events to the
// tool state of the core (the one-shot zoom and translation tools, panning by dragging), doing
// what it answers; the wheel zooms about the pointer. The status texts come from the core too.

#include <QImage>
#include <QWidget>

#include "view/MouseTools.h"
#include "view/PlotCache.h"

class CCurvanaDoc;

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
    // of the last paint. On failure returns false with the reason.
    bool ExportPng(const QString& path, QString& error);

    // Times the plot was drawn into the image, and the curves sampled (for tests and benchmarks).
    long PlotDrawings() const { return drawings_; }
    long Samplings() const { return cache_.Samplings(); }

    // The text of the status bar's first pane for the pointer at p.
    QString CoordinatesAt(PixelPoint p) const;

    QSize sizeHint() const override { return QSize(800, 600); }

signals:
    // The status bar's first pane: coordinates under the pointer, or the idle prompt.
    void StatusText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void DrawPlotImage();
    void DrawBand(QPainter& painter) const;
    void RunArmedTool(Tool tool);
    void ShowPointer();

    CCurvanaDoc& doc_;
    ToolState tools_;
    PlotCache cache_;
    QImage plot_;
    PlotInputs plotInputs_;
    qreal plotRatio_ = 0;
    bool plotValid_ = false;
    long drawings_ = 0;
};
