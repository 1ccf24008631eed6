// The colour button: the popup's placement, picking, dismissing, the system chooser, the
// palette it is given, and the drawn look at 100 % and 200 %.

#include <algorithm>
#include <vector>

#include <QColorDialog>
#include <QImage>
#include <QPainter>

#include "tests/ui/dialogs/DialogTestSupport.h"
#include "ui/dialogs/CColorBtn.h"

using namespace dialogtest;

namespace {

int32_t Rgb(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}

struct PlaceCase {
    const char* name;
    QRect button;
    QRect screen;
    QPoint expected;
};

void PrintTo(const PlaceCase& c, std::ostream* os)
{
    *os << c.name;
}

class PopupPlacement : public ::testing::TestWithParam<PlaceCase> { };

TEST_P(PopupPlacement, OpensWhereItFits)
{
    EXPECT_EQ(
        PopupPosition(GetParam().button, QSize(80, 120), GetParam().screen), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, PopupPlacement,
    ::testing::Values(PlaceCase {"Below", {100, 100, 60, 20}, {0, 0, 1280, 1024}, {100, 120}},
        PlaceCase {"AboveNearTheBottom", {100, 950, 60, 20}, {0, 0, 1280, 1024}, {100, 830}},
        PlaceCase {"ExactlyFitsBelow", {100, 884, 60, 20}, {0, 0, 1280, 1024}, {100, 904}},
        PlaceCase {"ShiftedNearTheRight", {1240, 100, 60, 20}, {0, 0, 1280, 1024}, {1200, 120}},
        PlaceCase {"BottomRightCorner", {1250, 1000, 30, 20}, {0, 0, 1280, 1024}, {1200, 880}},
        PlaceCase {"SecondScreen", {1900, 700, 60, 20}, {1280, 0, 1024, 768}, {1900, 580}},
        PlaceCase {
            "SecondScreenRightEdge", {2280, 100, 40, 20}, {1280, 0, 1024, 768}, {2224, 120}}),
    [](const ::testing::TestParamInfo<PlaceCase>& info) { return std::string(info.param.name); });

// A button in a window, its own palette, and whatever the popup should do once open.
struct Bench {
    Bench()
    {
        button = new CColorBtn(&window, &palette);
        button->setGeometry(20, 20, 70, 24);
        window.resize(200, 100);
        window.show();
    }

    // Clicks the button and runs steps on the popup once it runs.
    void Open(std::function<void(CColorBtnDlg*)> steps)
    {
        QObject::connect(
            button, &CColorBtn::PopupOpened, button,
            [this, steps](CColorBtnDlg* p) {
                popup = p;
                QTimer::singleShot(0, p, [p, steps] {
                    steps(p);
                    if (p->isVisible())
                        p->reject();
                });
            },
            Qt::SingleShotConnection);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QWidget window;
    ColourPalette palette;
    CColorBtn* button;
    CColorBtnDlg* popup = nullptr;
};

TEST(ColourButton, ANewButtonIsWhite)
{
    Bench b;
    EXPECT_EQ(b.button->Colour(), Rgb(255, 255, 255));
}

TEST(ColourButton, AClickedCellBecomesTheColour)
{
    Bench b;
    bool placed = false;
    bool grabbed = false;
    b.Open([&](CColorBtnDlg* p) {
        placed = p->pos() == b.button->mapToGlobal(QPoint(0, b.button->height()));
        grabbed = QWidget::mouseGrabber() == p;
        QTest::mouseClick(p->Cell(13), Qt::LeftButton);
    });
    EXPECT_TRUE(placed);
    EXPECT_TRUE(grabbed);
    EXPECT_EQ(b.button->Colour(), Rgb(255, 0, 0));
    EXPECT_EQ(b.palette.Age(13), 1);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST(ColourButton, AClickOutsideOrEscapeKeepsTheColour)
{
    for (const bool escape : {false, true}) {
        Bench b;
        b.button->SetColour(Rgb(1, 2, 3));
        int result = -1;
        b.Open([&](CColorBtnDlg* p) {
            QObject::connect(p, &QDialog::finished, [&result](int r) { result = r; });
            if (escape)
                QTest::keyClick(p, Qt::Key_Escape);
            else
                QTest::mouseClick(p, Qt::LeftButton, {}, QPoint(-10, p->height() + 30));
        });
        EXPECT_EQ(result, QDialog::Rejected) << escape;
        EXPECT_EQ(b.button->Colour(), Rgb(1, 2, 3)) << escape;
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    }
}

TEST(ColourButton, PressAndReleaseOnDifferentCellsPickNothing)
{
    Bench b;
    b.button->SetColour(Rgb(1, 2, 3));
    b.Open([&](CColorBtnDlg* p) {
        QTest::mousePress(p, Qt::LeftButton, {}, p->Cell(0)->geometry().center());
        QTest::mouseRelease(p, Qt::LeftButton, {}, p->Cell(5)->geometry().center());
        EXPECT_TRUE(p->isVisible());
        QTest::keyClick(p, Qt::Key_Escape);
    });
    EXPECT_EQ(b.button->Colour(), Rgb(1, 2, 3));
}

TEST(ColourButton, KeyboardPicksTheFocusedCellAndOtherConfirmationsPickNothing)
{
    Bench b;
    b.button->SetColour(b.palette.Colour(4));
    b.Open([&](CColorBtnDlg* p) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(p));
        ASSERT_EQ(QApplication::focusWidget(), p->Cell(4)); // the current colour's cell
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(b.button->Colour(), b.palette.Colour(9));

    b.button->SetColour(Rgb(1, 2, 3));
    int result = -1;
    b.Open([&](CColorBtnDlg* p) {
        QObject::connect(p, &QDialog::finished, [&result](int r) { result = r; });
        p->accept(); // confirmed without a cell: nothing was chosen
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(b.button->Colour(), Rgb(1, 2, 3));
}

TEST(ColourButton, OtherAddsTheChosenColourToTheOldestCell)
{
    Bench b;
    b.button->SetColourChooser([](QWidget*) { return QColor(10, 20, 30); });
    b.Open([](CColorBtnDlg* p) { p->OtherButton()->click(); });
    EXPECT_EQ(b.button->Colour(), Rgb(10, 20, 30));
    EXPECT_EQ(b.palette.Colour(10), Rgb(10, 20, 30));
    // The same colour again selects that cell and replaces nothing more.
    b.Open([](CColorBtnDlg* p) { p->OtherButton()->click(); });
    EXPECT_EQ(b.palette.Colour(9), ColourPalette().Colour(9));
}

TEST(ColourButton, CancellingTheChooserLeavesThePopupOpenAndHoldingTheMouse)
{
    Bench b;
    b.button->SetColour(Rgb(1, 2, 3));
    bool open = false;
    bool grabbed = false;
    b.button->SetColourChooser([](QWidget*) { return std::nullopt; });
    b.Open([&](CColorBtnDlg* p) {
        p->OtherButton()->click();
        open = p->isVisible();
        grabbed = QWidget::mouseGrabber() == p;
        QTest::mouseClick(p, Qt::LeftButton, {}, QPoint(-5, -5));
    });
    EXPECT_TRUE(open);
    EXPECT_TRUE(grabbed);
    EXPECT_EQ(b.button->Colour(), Rgb(1, 2, 3));
    EXPECT_EQ(b.palette.Colour(10), ColourPalette().Colour(10));
}

TEST(ColourButton, OtherOpensTheSystemChooserOnBlack)
{
    Bench b;
    QColor initial;
    b.Open([&](CColorBtnDlg* p) {
        WhenModal<QColorDialog>([&initial](QColorDialog* chooser) {
            initial = chooser->currentColor();
            chooser->setCurrentColor(QColor(200, 100, 50));
            chooser->accept();
        });
        p->OtherButton()->click();
    });
    EXPECT_EQ(initial, QColor(Qt::black));
    EXPECT_EQ(b.button->Colour(), Rgb(200, 100, 50));
}

TEST(ColourButton, ThePaletteItIsGivenIsSharedByEveryButtonGivenIt)
{
    ColourPalette palette;
    CColorBtn first(nullptr, &palette);
    CColorBtn second(nullptr, &palette);
    EXPECT_EQ(&first.Palette(), &second.Palette());
    EXPECT_EQ(&first.Palette(), &palette);
    // A button given none keeps its own: nothing is shared behind the window's back.
    CColorBtn alone;
    CColorBtn other;
    EXPECT_NE(&alone.Palette(), &other.Palette());
    EXPECT_NE(&alone.Palette(), &palette);
}

// ---- drawing ----

struct Look {
    bool pressed;
    bool enabled;
    bool focused;
};

// The button drawn into an image at a device pixel ratio, read back in logical pixels.
class Drawn {
public:
    Drawn(CColorBtn& button, int ratio) : ratio_(ratio)
    {
        image_ = QImage(button.size() * ratio, QImage::Format_ARGB32);
        image_.setDevicePixelRatio(ratio);
        image_.fill(Qt::magenta);
        button.render(&image_);
    }
    // Every device pixel of a logical pixel has the same colour; that colour.
    QColor At(int x, int y) const
    {
        const QRgb first = image_.pixel(x * ratio_, y * ratio_);
        for (int dy = 0; dy < ratio_; ++dy)
            for (int dx = 0; dx < ratio_; ++dx)
                if (image_.pixel(x * ratio_ + dx, y * ratio_ + dy) != first)
                    return QColor(Qt::transparent);
        return QColor(first);
    }

private:
    QImage image_;
    int ratio_;
};

class ColourButtonLook : public ::testing::TestWithParam<int> { };

TEST_P(ColourButtonLook, FrameSeparatorArrowAndSwatch)
{
    QWidget window;
    CColorBtn button(&window, nullptr);
    button.setGeometry(0, 0, 60, 22);
    button.SetColour(Rgb(255, 0, 0));
    const int r = 60;
    const int b = 22;
    const int m = b / 2;
    const Drawn d(button, GetParam());
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const QColor grey(128, 128, 128);
    EXPECT_EQ(d.At(0, b - 1), black); // outer frame, bottom and right
    EXPECT_EQ(d.At(r - 1, 1), black);
    EXPECT_EQ(d.At(r - 1, 0), button.palette().color(QPalette::Button)); // end point left out
    EXPECT_EQ(d.At(r - 2, b - 2), grey); // inner shadow
    EXPECT_EQ(d.At(1, 1), white); // highlight
    EXPECT_EQ(d.At(r - 10, 4), white); // separator
    EXPECT_EQ(d.At(r - 11, 4), grey);
    for (int x = r - 8; x <= r - 4; ++x)
        EXPECT_EQ(d.At(x, m - 1), black) << x;
    EXPECT_EQ(d.At(r - 9, m - 1), button.palette().color(QPalette::Button));
    EXPECT_EQ(d.At(r - 6, m + 1), black); // the tip
    EXPECT_EQ(d.At(5, 4), black); // swatch frame
    EXPECT_EQ(d.At(r - 16, b - 5), black);
    EXPECT_EQ(d.At(6, 5), QColor(255, 0, 0)); // swatch colour
    EXPECT_EQ(d.At(r - 17, b - 6), QColor(255, 0, 0));
}

TEST_P(ColourButtonLook, DisabledHasNoSwatchAndAGreyArrow)
{
    QWidget window;
    CColorBtn button(&window, nullptr);
    button.setGeometry(0, 0, 60, 22);
    button.setEnabled(false);
    const int r = 60;
    const int m = 11;
    const Drawn d(button, GetParam());
    const QColor face = button.palette().color(QPalette::Button);
    EXPECT_EQ(d.At(6, 5), face);
    EXPECT_EQ(d.At(5, 4), face);
    EXPECT_EQ(d.At(r - 7, m - 1), QColor(128, 128, 128));
    EXPECT_EQ(d.At(r - 6, m + 1), QColor(255, 255, 255));
    EXPECT_EQ(d.At(r - 4, m - 1), QColor(255, 255, 255));
    EXPECT_EQ(d.At(r - 5, m), QColor(255, 255, 255));
}

TEST_P(ColourButtonLook, PressedIsSunkenAndShifted)
{
    QWidget window;
    CColorBtn button(&window, nullptr);
    button.setGeometry(0, 0, 60, 22);
    button.setDown(true);
    const Drawn d(button, GetParam());
    EXPECT_EQ(d.At(0, 0), QColor(128, 128, 128));
    EXPECT_EQ(d.At(1, 1), QColor(0, 0, 0));
    EXPECT_EQ(d.At(59, 21), QColor(255, 255, 255));
    EXPECT_EQ(d.At(6, 5), QColor(0, 0, 0)); // the swatch frame, one pixel further
    EXPECT_EQ(d.At(7, 6), QColor(255, 255, 255));
}

TEST_P(ColourButtonLook, FocusDotsEverySecondPixel)
{
    QWidget window;
    window.show();
    CColorBtn button(&window, nullptr);
    button.setGeometry(0, 0, 60, 22);
    button.show();
    button.setFocus();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(button.hasFocus());
    const Drawn d(button, GetParam());
    const QColor face = button.palette().color(QPalette::Button);
    EXPECT_EQ(d.At(3, 3), QColor(0, 0, 0));
    EXPECT_EQ(d.At(4, 3), face);
    EXPECT_EQ(d.At(5, 3), QColor(0, 0, 0));
    EXPECT_EQ(d.At(3, 5), QColor(0, 0, 0));
    EXPECT_EQ(d.At(3, 4), face);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, ColourButtonLook, ::testing::Values(1, 2),
    [](const ::testing::TestParamInfo<int>& info) {
        return std::to_string(info.param * 100) + "Percent";
    });

} // namespace
