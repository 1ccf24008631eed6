#include "ui/dialogs/CColorBtn.h"

#include <algorithm>

#include <QAbstractButton>
#include <QColorDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionFocusRect>
#include <QTimer>
#include <QWindow>
#include <qdrawutil.h>

#include "ui/dialogs/DialogSupport.h"

namespace {

constexpr int kColumns = 4;

int32_t Rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return static_cast<int32_t>(red | (green << 8) | (blue << 16));
}

} // namespace

QColor ColourRefToQColor(int32_t colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

int32_t QColorToColourRef(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return Rgb(static_cast<uint8_t>(rgb.red()), static_cast<uint8_t>(rgb.green()),
        static_cast<uint8_t>(rgb.blue()));
}

std::optional<QColor> RunSystemColourChooser(QWidget* parent)
{
    // Qt's own chooser: it always shows its custom colours, and it behaves the same everywhere.
    QColorDialog dialog(QColor(Qt::black), parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

QPoint PopupPosition(const QRect& buttonGlobal, const QSize& popup, const QRect& screen)
{
    QPoint at(buttonGlobal.x(), buttonGlobal.y() + buttonGlobal.height());
    const int screenBottom = screen.y() + screen.height();
    const int screenRight = screen.x() + screen.width();
    if (at.y() + popup.height() > screenBottom)
        at.ry() -= at.y() + popup.height() - buttonGlobal.y();
    if (at.x() + popup.width() > screenRight)
        at.rx() -= at.x() + popup.width() - screenRight;
    // A button partly off the screen must not take the popup with it.
    at.setX(std::max(at.x(), screen.x()));
    at.setY(std::max(at.y(), screen.y()));
    return at;
}

// ---- the cells ----

class ColourCell final : public QAbstractButton {
public:
    ColourCell(CColorBtnDlg* popup, int index)
        : QAbstractButton(popup), popup_(popup), index_(index)
    {
        setFocusPolicy(Qt::StrongFocus);
        setAccessibleName(QString::fromUtf8("Couleur %1").arg(index + 1));
    }

    QSize sizeHint() const override { return {DialogUnitsX(this, 11), DialogUnitsY(this, 10)}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        // The whole cell, no border and no pressed look.
        painter.fillRect(rect(), ColourRefToQColor(popup_->palette_.Colour(index_)));
        if (hasFocus() && popup_->keyboardUsed_) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = rect().adjusted(1, 1, -1, -1);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            popup_->MoveFocus(index_, event->key());
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            click();
            return;
        default:
            QAbstractButton::keyPressEvent(event);
        }
    }

    void focusInEvent(QFocusEvent* event) override
    {
        if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
            popup_->keyboardUsed_ = true;
        QAbstractButton::focusInEvent(event);
    }

private:
    CColorBtnDlg* popup_;
    int index_;
};

// ---- CColorBtnDlg ----

CColorBtnDlg::CColorBtnDlg(CColorBtn* button, ColourPalette& palette, ColourChooser chooser)
    : QDialog(button != nullptr ? button->window() : nullptr, Qt::Dialog | Qt::FramelessWindowHint),
      button_(button), palette_(palette), chooser_(std::move(chooser))
{
    setObjectName("colourPopup");
    auto* grid = new QGridLayout(this);
    const int frame = 2;
    grid->setContentsMargins(frame + DialogUnitsX(this, 1), frame + DialogUnitsY(this, 1),
        frame + DialogUnitsX(this, 1), frame + DialogUnitsY(this, 1));
    grid->setHorizontalSpacing(DialogUnitsX(this, 1));
    grid->setVerticalSpacing(DialogUnitsY(this, 2));
    for (int i = 0; i < ColourPalette::kCells; ++i) {
        auto* cell = new ColourCell(this, i);
        cell->setObjectName(QString("cell%1").arg(i));
        cell->setFixedSize(cell->sizeHint());
        connect(cell, &QAbstractButton::clicked, this, [this, i] { CellClicked(i); });
        cells_[static_cast<size_t>(i)] = cell;
        grid->addWidget(cell, i / kColumns, i % kColumns);
    }
    other_ = new QPushButton(QString::fromUtf8("Autre..."), this);
    other_->setObjectName("otherButton");
    other_->setAutoDefault(false);
    connect(other_, &QPushButton::clicked, this, [this] { OtherClicked(); });
    grid->addWidget(other_, ColourPalette::kCells / kColumns, 0, 1, kColumns);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

int CColorBtnDlg::Run()
{
    selected_.reset();
    pressed_ = nullptr;
    keyboardUsed_ = false;
    adjustSize();
    if (button_ != nullptr) {
        const QRect global(button_->mapToGlobal(QPoint(0, 0)), button_->size());
        QScreen* screen = button_->screen();
        const QRect screenRect = screen != nullptr ? screen->geometry() : global;
        move(PopupPosition(global, size(), screenRect));
        const int current = palette_.Find(button_->Colour());
        cells_[static_cast<size_t>(std::max(current, 0))]->setFocus();
    }
    return exec();
}

void CColorBtnDlg::done(int result)
{
    Ungrab();
    // Only a cell or "Autre..." chooses: any other confirmation chooses nothing.
    if (result == Accepted && !selected_)
        result = Rejected;
    QDialog::done(result);
}

void CColorBtnDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Grab();
}

void CColorBtnDlg::Grab()
{
    grabMouse();
    // The window system grants the grab and the focus only once the window is on the screen,
    // which comes a little after it is shown: they are asked again until it has.
    grabTries_ = 0;
    RetryGrab();
}

void CColorBtnDlg::RetryGrab()
{
    if (!isVisible() || QWidget::mouseGrabber() != this)
        return;
    QWindow* window = windowHandle();
    const bool granted
        = window != nullptr && window->isExposed() && window->setMouseGrabEnabled(true);
    if (!isActiveWindow())
        activateWindow();
    if ((granted && isActiveWindow()) || ++grabTries_ > 50)
        return;
    QTimer::singleShot(20, this, [this] { RetryGrab(); });
}

void CColorBtnDlg::Ungrab()
{
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

void CColorBtnDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false);
}

void CColorBtnDlg::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (!rect().contains(at)) {
        reject();
        return;
    }
    // The popup holds the mouse, so its children see no press of their own: it is handed on.
    pressed_ = qobject_cast<QAbstractButton*>(childAt(at));
    if (pressed_ != nullptr && pressed_->isEnabled())
        pressed_->setDown(true);
    else
        pressed_ = nullptr;
}

void CColorBtnDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (pressed_ != nullptr)
        pressed_->setDown(childAt(event->position().toPoint()) == pressed_);
}

void CColorBtnDlg::mouseReleaseEvent(QMouseEvent* event)
{
    QAbstractButton* pressed = pressed_;
    pressed_ = nullptr;
    if (pressed == nullptr)
        return;
    pressed->setDown(false);
    if (childAt(event->position().toPoint()) == pressed)
        pressed->click();
}

void CColorBtnDlg::CellClicked(int cell)
{
    palette_.Pick(cell);
    selected_ = cell;
    accept();
}

void CColorBtnDlg::OtherClicked()
{
    Ungrab();
    const std::optional<QColor> chosen = chooser_ ? chooser_(this) : RunSystemColourChooser(this);
    if (!chosen || !chosen->isValid()) {
        // The popup stays open and holds the mouse again.
        Grab();
        return;
    }
    selected_ = palette_.AddCustom(QColorToColourRef(*chosen));
    accept();
}

void CColorBtnDlg::MoveFocus(int cell, int key)
{
    keyboardUsed_ = true;
    const int rows = ColourPalette::kCells / kColumns;
    int row = cell / kColumns;
    int column = cell % kColumns;
    switch (key) {
    case Qt::Key_Left:
        column = (column + kColumns - 1) % kColumns;
        break;
    case Qt::Key_Right:
        column = (column + 1) % kColumns;
        break;
    case Qt::Key_Up:
        row = (row + rows - 1) % rows;
        break;
    case Qt::Key_Down:
        if (row == rows - 1) {
            other_->setFocus(Qt::TabFocusReason);
            return;
        }
        ++row;
        break;
    default:
        break;
    }
    cells_[static_cast<size_t>(row * kColumns + column)]->setFocus(Qt::TabFocusReason);
}

// ---- CColorBtn ----

CColorBtn::CColorBtn(QWidget* parent, ColourPalette* palette)
    : QPushButton(parent), palette_(palette != nullptr ? palette : &ownPalette_)
{
    setAutoDefault(false);
    setAccessibleName(QString::fromUtf8("Couleur"));
    connect(this, &QPushButton::clicked, this, [this] { RunPopup(); });
}

void CColorBtn::SetColour(int32_t colour)
{
    if (colour == colour_)
        return;
    colour_ = colour;
    update();
    emit ColourChanged(colour_);
}

QSize CColorBtn::sizeHint() const
{
    return {DialogUnitsX(this, 40), std::max(DialogUnitsY(this, 14), 22)};
}

QSize CColorBtn::minimumSizeHint() const
{
    return {32, 18};
}

void CColorBtn::RunPopup()
{
    CColorBtnDlg popup(this, *palette_, chooser_);
    emit PopupOpened(&popup);
    if (popup.Run() == QDialog::Accepted && popup.Selected())
        SetColour(palette_->Colour(*popup.Selected()));
}

namespace {

// Lines in the manner of the platform the look comes from: axis-aligned, end point left out.
class PixelPen {
public:
    explicit PixelPen(QPainter& painter) : painter_(painter) { }

    void MoveTo(int x, int y) { at_ = {x, y}; }
    void LineTo(const QColor& colour, int x, int y)
    {
        if (y == at_.y()) {
            const int from = x > at_.x() ? at_.x() : x + 1;
            const int to = x > at_.x() ? x - 1 : at_.x();
            if (to >= from)
                painter_.fillRect(QRect(from, y, to - from + 1, 1), colour);
        } else if (x == at_.x()) {
            const int from = y > at_.y() ? at_.y() : y + 1;
            const int to = y > at_.y() ? y - 1 : at_.y();
            if (to >= from)
                painter_.fillRect(QRect(x, from, 1, to - from + 1), colour);
        }
        at_ = {x, y};
    }
    // Pixels x0 to x1 of row y, both included.
    void Row(const QColor& colour, int x0, int x1, int y)
    {
        painter_.fillRect(QRect(std::min(x0, x1), y, std::abs(x1 - x0) + 1, 1), colour);
    }
    void Dot(const QColor& colour, int x, int y) { painter_.fillRect(QRect(x, y, 1, 1), colour); }

private:
    QPainter& painter_;
    QPoint at_;
};

} // namespace

void CColorBtn::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PixelPen pen(painter);
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const QColor grey(128, 128, 128);
    int l = 0;
    int t = 0;
    int r = width();
    int b = height();
    const bool pressed = isDown();
    const bool enabled = isEnabled();

    painter.fillRect(rect(), palette().color(QPalette::Button));

    if (pressed) {
        pen.MoveTo(l, b - 1);
        pen.LineTo(grey, l, t);
        pen.LineTo(grey, r - 1, t);
        pen.MoveTo(r - 1, t - 1);
        pen.LineTo(white, r - 1, b - 1);
        pen.LineTo(white, l + 1, b - 1);
        pen.MoveTo(l + 1, b - 2);
        pen.LineTo(black, l + 1, t + 1);
        pen.LineTo(black, r - 2, t + 1);
        ++l;
        ++t;
        ++r;
        ++b;
    } else {
        pen.MoveTo(l, b - 1);
        pen.LineTo(black, r - 1, b - 1);
        pen.LineTo(black, r - 1, t);
        pen.MoveTo(l + 1, b - 2);
        pen.LineTo(grey, r - 2, b - 2);
        pen.LineTo(grey, r - 2, t + 1);
        pen.LineTo(white, l + 1, t + 1);
        pen.LineTo(white, l + 1, b - 2);
    }

    // Separator.
    pen.MoveTo(r - 10, t + 4);
    pen.LineTo(white, r - 10, b - 4);
    pen.MoveTo(r - 11, t + 4);
    pen.LineTo(grey, r - 11, b - 4);

    // Arrow.
    const int m = b / 2;
    const QColor arrow = enabled ? black : grey;
    pen.Row(arrow, r - 8, r - 4, m - 1);
    pen.Row(arrow, r - 7, r - 5, m);
    if (enabled) {
        pen.Dot(black, r - 6, m + 1);
    } else {
        pen.Dot(white, r - 6, m + 1);
        pen.Dot(white, r - 4, m - 1);
        pen.Dot(white, r - 5, m);
    }

    // Swatch: a black frame around the colour.
    if (enabled) {
        const QRect swatch(QPoint(l + 5, t + 4), QPoint(r - 16, b - 5));
        if (swatch.isValid()) {
            painter.fillRect(swatch, black);
            painter.fillRect(swatch.adjusted(1, 1, -1, -1), ColourRefToQColor(colour_));
        }
    }

    // Focus: a dot on every second pixel of the rectangle's edges.
    if (hasFocus()) {
        const int x0 = l + 3;
        const int y0 = t + 3;
        const int x1 = r - 5;
        const int y1 = b - 5;
        for (int x = x0; x <= x1; x += 2) {
            pen.Dot(black, x, y0);
            pen.Dot(black, x, y1);
        }
        for (int y = y0; y <= y1; y += 2) {
            pen.Dot(black, x0, y);
            pen.Dot(black, x1, y);
        }
    }
}
