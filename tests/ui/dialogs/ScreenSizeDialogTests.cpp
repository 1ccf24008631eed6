// "Taille d'écran": the grouped numbers, the clamps, and the window moved and resized by the frame
// so that the view gets the size asked for.

#include <QMainWindow>
#include <QPushButton>
#include <QToolBar>

#include "tests/ui/dialogs/DialogTestSupport.h"
#include "ui/CMainFrame.h"
#include "ui/dialogs/CDlgViewScreenSize.h"

using namespace dialogtest;

namespace {

const QString kNbsp(QChar(0x00A0));

// A frame with a toolbar around a view, like the main window.
struct Frame {
    Frame()
    {
        window.addToolBar("x")->addAction("x");
        view = new QWidget(&window);
        window.setCentralWidget(view);
        window.move(120, 80);
        window.resize(700, 500);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QMainWindow window;
    QWidget* view;
};

TEST(ScreenSizeDialog, GroupsDigitsWithANoBreakSpace)
{
    EXPECT_EQ(GroupDigits(999), "999");
    EXPECT_EQ(GroupDigits(1024), "1" + kNbsp + "024");
    EXPECT_EQ(GroupDigits(1234567), "1" + kNbsp + "234" + kNbsp + "567");
    EXPECT_EQ(ReadGroupedNumber("1" + kNbsp + "024"), 1024);
    EXPECT_EQ(ReadGroupedNumber("1" + kNbsp + "234" + kNbsp + "567"), 1234); // one removed only
    EXPECT_EQ(ReadGroupedNumber(""), 0);
}

TEST(ScreenSizeDialog, ShowsTheViewSize)
{
    Frame f;
    CDlgViewScreenSize dialog(f.view->size());
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Taille d'écran"));
    EXPECT_EQ(Child<GroupedNumberSpin>(&dialog, "widthSpin")->Text(), GroupDigits(f.view->width()));
    EXPECT_EQ(
        Child<GroupedNumberSpin>(&dialog, "heightSpin")->Text(), GroupDigits(f.view->height()));
}

struct SizeCase {
    const char* name;
    QString width;
    QString height;
    QSize expected;
};

void PrintTo(const SizeCase& c, std::ostream* os)
{
    *os << c.name;
}

class ScreenSizes : public ::testing::TestWithParam<SizeCase> { };

TEST_P(ScreenSizes, OkGivesTheViewExactlyTheClampedSize)
{
    Frame f;
    CDlgViewScreenSize dialog(f.view->size());
    dialog.show();
    auto* width = Child<GroupedNumberSpin>(&dialog, "widthSpin");
    auto* height = Child<GroupedNumberSpin>(&dialog, "heightSpin");
    TypeInto(width->Edit(), GetParam().width);
    TypeInto(height->Edit(), GetParam().height);
    Child<QPushButton>(&dialog, "okButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    GiveViewSize(f.window, f.view->size(), dialog.Size()); // as the frame does on OK
    QTest::qWait(20);
    EXPECT_EQ(f.view->size(), GetParam().expected);
    EXPECT_EQ(f.window.frameGeometry().topLeft(), QPoint(0, 0));
}

INSTANTIATE_TEST_SUITE_P(Dialogs, ScreenSizes,
    ::testing::Values(SizeCase {"Grouped", "1" + kNbsp + "024", "600", {1024, 600}},
        SizeCase {"TooWide", "5000", "2000", {2048, 1536}},
        SizeCase {"TooNarrow", "50", "50", {128, 96}},
        SizeCase {"BelowTheArrowsRange", "200", "150", {200, 150}},
        SizeCase {"Empty", "", "", {128, 96}}),
    [](const ::testing::TestParamInfo<SizeCase>& info) { return std::string(info.param.name); });

TEST(ScreenSizeDialog, OkWithoutChangeStillMovesTheWindowAndEndsAccepted)
{
    Frame f;
    const QSize before = f.view->size();
    CDlgViewScreenSize dialog(f.view->size());
    const int result
        = Exec(dialog, [&dialog] { Child<QPushButton>(&dialog, "okButton")->click(); });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dialog.Size(), before);
    GiveViewSize(f.window, f.view->size(), dialog.Size());
    QTest::qWait(20);
    EXPECT_EQ(f.view->size(), before);
    EXPECT_EQ(f.window.frameGeometry().topLeft(), QPoint(0, 0));
}

TEST(ScreenSizeDialog, CancelLeavesTheWindowAlone)
{
    Frame f;
    const QRect before = f.window.geometry();
    CDlgViewScreenSize dialog(f.view->size());
    const int result = Exec(dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(f.window.geometry(), before);
}

TEST(ScreenSizeDialog, TypingTakesDigitsOnlyAndTheArrowsStopAtTheRange)
{
    Frame f;
    CDlgViewScreenSize dialog(f.view->size());
    dialog.show();
    auto* width = Child<GroupedNumberSpin>(&dialog, "widthSpin");
    width->Edit()->selectAll();
    QTest::keyClicks(width, "12a3");
    EXPECT_EQ(width->Text(), "123");
    QTest::keyClick(width, Qt::Key_Up); // from below the range: starts at its bottom
    EXPECT_EQ(width->Text(), "257");
    width->SetPosition(999);
    QTest::keyClick(width, Qt::Key_Up);
    EXPECT_EQ(width->Text(), GroupDigits(1000));
    width->SetPosition(2048);
    QTest::keyClick(width, Qt::Key_Up);
    EXPECT_EQ(width->Text(), GroupDigits(2048));
    auto* height = Child<GroupedNumberSpin>(&dialog, "heightSpin");
    height->SetPosition(192);
    QTest::keyClick(height, Qt::Key_Down);
    EXPECT_EQ(height->Text(), "192");
}

} // namespace
