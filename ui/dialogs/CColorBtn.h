#pragma once

// The colour button of every colour field and its palette popup.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include <QColor>
#include <QDialog>
#include <QPushButton>

#include "view/ColourPalette.h"

class QAbstractButton;
class CColorBtn;

// 0x00BBGGRR and back.
QColor ColourRefToQColor(int32_t colour);
int32_t QColorToColourRef(const QColor& colour);

// The system colour chooser as the popup opens it: black first, custom colours shown. nullopt
// when the user cancels.
using ColourChooser = std::function<std::optional<QColor>(QWidget* parent)>;
std::optional<QColor> RunSystemColourChooser(QWidget* parent);

// Where the popup opens: under the button, above it when it would leave the screen at the bottom,
// shifted left when it would leave it at the right.
QPoint PopupPosition(const QRect& buttonGlobal, const QSize& popup, const QRect& screen);

// The palette popup: 20 cells and "Autre...". It holds the mouse while it runs, so that a press
// outside it closes it; it ends accepted only with a cell chosen.
class CColorBtnDlg : public QDialog {
    Q_OBJECT
public:
    CColorBtnDlg(CColorBtn* button, ColourPalette& palette, ColourChooser chooser);

    // Opens under the button and runs modally; Accepted with Selected() set, or Rejected.
    int Run();
    std::optional<int> Selected() const { return selected_; }

    QAbstractButton* Cell(int i) const { return cells_[static_cast<size_t>(i)]; }
    QPushButton* OtherButton() const { return other_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class ColourCell;
    void CellClicked(int cell);
    void OtherClicked();
    void MoveFocus(int cell, int key);
    void Grab();
    void RetryGrab();
    void Ungrab();

    CColorBtn* button_;
    ColourPalette& palette_;
    ColourChooser chooser_;
    std::array<QAbstractButton*, ColourPalette::kCells> cells_ {};
    QPushButton* other_ = nullptr;
    QAbstractButton* pressed_ = nullptr; // the child a press went to, until the release
    std::optional<int> selected_;
    bool keyboardUsed_ = false;
    int grabTries_ = 0;
};

// A push button showing a colour swatch and an arrow; a click opens the palette popup.
class CColorBtn : public QPushButton {
    Q_OBJECT
public:
    // The palette the popup shows; without one the button keeps a palette of its own.
    explicit CColorBtn(QWidget* parent = nullptr, ColourPalette* palette = nullptr);

    int32_t Colour() const { return colour_; }
    void SetColour(int32_t colour);

    // The chooser "Autre..." opens (the system's unless told otherwise).
    void SetColourChooser(ColourChooser chooser) { chooser_ = std::move(chooser); }
    ColourPalette& Palette() const { return *palette_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void ColourChanged(int32_t colour);
    // The popup is about to run (for tests and shots).
    void PopupOpened(CColorBtnDlg* popup);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RunPopup();

    int32_t colour_ = 0x00FFFFFF; // white until a dialog sets it
    ColourPalette ownPalette_;
    ColourPalette* palette_;
    ColourChooser chooser_;
};
