// "Axes": the three pages, the graduation coupling from the view's ranges, the transparency
// limits and how a stored one outside them shows, the tab strip, and OK accepted only when a page
// changed something.

#include <climits>
#include <cstdint>

#include <QCheckBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "model/CFunctionsContext.h"
#include "tests/ui/dialogs/DialogTestSupport.h"
#include "ui/dialogs/CColorBtn.h"
#include "ui/dialogs/CDlgTraceAxes.h"

using namespace dialogtest;

namespace {

// The new document's area as drawn on 800 x 600: x from -22 to 18, y from -15 to 15.
CWorkingArea DrawnArea()
{
    CFunctionsContext context;
    context.ApplyNewDocumentDefaults();
    context.area.Normalise(800, 600);
    return context.area;
}

struct Axes {
    explicit Axes(const CSettingsAxis& settings = CSettingsAxis()) : dialog(settings, DrawnArea())
    {
        dialog.show();
    }
    bool Confirm()
    {
        Child<QPushButton>(&dialog, "okButton")->click();
        return dialog.result() == QDialog::Accepted;
    }
    QLineEdit* Edit(const char* name) { return Child<QLineEdit>(&dialog, name); }

    CDlgTraceAxes dialog;
};

TEST(AxesDialog, ThreePagesUnderTheirTabs)
{
    Axes a;
    EXPECT_EQ(a.dialog.windowTitle(), "Axes");
    AxesTabBar* tabs = a.dialog.Tabs();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), "Dessin des axes");
    EXPECT_EQ(tabs->tabText(1), "Graduation");
    EXPECT_EQ(tabs->tabText(2), "Carroyage");
    EXPECT_TRUE(a.dialog.Dessin()->isVisible());
    EXPECT_FALSE(a.dialog.Graduation()->isVisible());
    tabs->setCurrentIndex(2);
    EXPECT_TRUE(a.dialog.Carroyage()->isVisible());
    EXPECT_FALSE(a.dialog.Dessin()->isVisible());
    EXPECT_EQ(Child<QPushButton>(&a.dialog, "okButton")->text(), "&OK");
    EXPECT_EQ(Child<QPushButton>(&a.dialog, "cancelButton")->text(), "&Annuler");
}

TEST(AxesDialog, TabsAreOneWidthAndFilledAlike)
{
    Axes a;
    AxesTabBar* tabs = a.dialog.Tabs();
    const QImage image = tabs->grab().toImage();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tabs->tabRect(i).width(), tabs->tabRect(0).width()) << i;
        const QRect r = tabs->tabRect(i);
        // Inside every tab, the selected one included, the item shows the fill.
        const QPoint corner(r.left() + 3, r.top() + 3);
        const qreal ratio = image.devicePixelRatio();
        EXPECT_EQ(QColor(image.pixel(corner * ratio)), AxesTabBar::Fill()) << i;
    }
}

TEST(AxesDialog, TabTextStandsWhereTheRuleSays)
{
    const struct {
        QRect tab;
        QPoint anchor;
    } cases[] = {{QRect(0, 0, 100, 24), {50, 4}}, {QRect(100, 2, 100, 24), {150, 6}},
        {QRect(10, 5, 31, 11), {25, 6}}};
    for (const auto& c : cases)
        EXPECT_EQ(AxesTabBar::TextAnchor(c.tab), c.anchor);
}

struct CouplingCase {
    const char* typedInto;
    const char* typed;
    const char* other;
    const char* expected;
};

class AxesCoupling : public ::testing::TestWithParam<CouplingCase> { };

TEST_P(AxesCoupling, StepAndCountFollowTheViewsRange)
{
    Axes a;
    a.dialog.Tabs()->setCurrentIndex(1);
    TypeInto(a.Edit(GetParam().typedInto), GetParam().typed);
    EXPECT_EQ(a.Edit(GetParam().other)->text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, AxesCoupling,
    ::testing::Values(CouplingCase {"xCountEdit", "4", "xStepEdit", "10.000000"},
        CouplingCase {"xStepEdit", "0", "xCountEdit", "10.000000"},
        CouplingCase {"xCountEdit", "0", "xStepEdit", "400.000000"},
        CouplingCase {"xStepEdit", "0.5", "xCountEdit", "80.000000"},
        CouplingCase {"yCountEdit", "3", "yStepEdit", "10.000000"},
        CouplingCase {"yCountEdit", "0", "yStepEdit", "300.000000"},
        CouplingCase {"yStepEdit", "7.5", "yCountEdit", "4.000000"}));

TEST(AxesDialog, TheStepsAreFilledFromTheCountsAtOpening)
{
    CSettingsAxis settings;
    settings.xGraduationCount = 8;
    Axes a(settings);
    EXPECT_EQ(a.Edit("xCountEdit")->text(), "8.000000");
    EXPECT_EQ(a.Edit("xStepEdit")->text(), "5.000000");
    EXPECT_EQ(a.Edit("yStepEdit")->text(), "30.000000");
    EXPECT_TRUE(Child<QRadioButton>(&a.dialog, "automaticRadio")->isChecked());
}

TEST(AxesDialog, OkWithoutChangeIsCancel)
{
    CSettingsAxis settings;
    settings.xGraduationCount = 1.0 / 3.0; // not rounded by its six-decimal text
    CDlgTraceAxes dialog(settings, DrawnArea());
    const int result = Exec(dialog, [&dialog] {
        dialog.Tabs()->setCurrentIndex(1);
        QTest::keyClick(Child<QLineEdit>(&dialog, "xCountEdit"), Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST(AxesDialog, EditsOnSeveralPagesAreAllApplied)
{
    Axes a;
    a.dialog.Tabs()->setCurrentIndex(0);
    Child<CColorBtn>(&a.dialog, "axesColourButton")->SetColour(0x00123456);
    a.dialog.Tabs()->setCurrentIndex(2);
    auto* alpha = Child<QSpinBox>(&a.dialog, "alphaSpin");
    QTest::keyClick(alpha, Qt::Key_Up);
    a.dialog.Tabs()->setCurrentIndex(1);
    ClickToggle(Child<QRadioButton>(&a.dialog, "manualRadio"));
    TypeInto(a.Edit("yCountEdit"), "0.5"); // a decimal point whatever the locale
    ASSERT_TRUE(a.Confirm());
    CSettingsAxis expected;
    expected.axesColour = 0x00123456;
    expected.gridAlpha = 17;
    expected.autoGraduation = false;
    expected.yGraduationCount = 0.5;
    EXPECT_TRUE(a.dialog.Settings() == expected);
}

struct CheckCase {
    int page;
    const char* check;
    bool CSettingsAxis::*field;
};

class AxesChecks : public ::testing::TestWithParam<CheckCase> { };

TEST_P(AxesChecks, ACheckBoxAloneIsAChange)
{
    Axes a;
    a.dialog.Tabs()->setCurrentIndex(GetParam().page);
    auto* check = Child<QCheckBox>(&a.dialog, GetParam().check);
    ASSERT_TRUE(check->isVisible());
    ClickToggle(check);
    ASSERT_TRUE(a.Confirm());
    CSettingsAxis expected;
    expected.*GetParam().field = !(expected.*GetParam().field);
    EXPECT_TRUE(a.dialog.Settings() == expected);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, AxesChecks,
    ::testing::Values(CheckCase {0, "drawAxesCheck", &CSettingsAxis::drawAxes},
        CheckCase {0, "unitVectorsCheck", &CSettingsAxis::drawUnitVectors},
        CheckCase {0, "axisEndsCheck", &CSettingsAxis::drawAxisEnds},
        CheckCase {1, "graduateCheck", &CSettingsAxis::graduate},
        CheckCase {2, "drawGridCheck", &CSettingsAxis::drawGrid}));

TEST(AxesDialog, TransparencyStopsAt0And255)
{
    const struct {
        int start;
        Qt::Key key;
        int expected;
    } cases[] = {{255, Qt::Key_Up, 255}, {0, Qt::Key_Down, 0}, {254, Qt::Key_PageUp, 255},
        {3, Qt::Key_PageDown, 0}};
    for (const auto& c : cases) {
        CSettingsAxis settings;
        settings.gridAlpha = c.start;
        Axes a(settings);
        a.dialog.Tabs()->setCurrentIndex(2);
        auto* alpha = Child<QSpinBox>(&a.dialog, "alphaSpin");
        EXPECT_EQ(alpha->value(), c.start);
        QTest::keyClick(alpha, c.key);
        EXPECT_EQ(alpha->value(), c.expected);
        QTest::keyClicks(alpha, "9"); // the number is not typed
        EXPECT_EQ(alpha->value(), c.expected);
    }
}

TEST(AxesDialog, AStoredTransparencyOutsideTheRangeShowsAsTheGridIsDrawn)
{
    // The grid is drawn with the low byte of the stored number.
    const struct {
        int32_t stored;
        int shown;
    } cases[] = {{300, 44}, {-1, 255}, {256, 0}, {511, 255}, {-200, 56}, {INT32_MIN, 0}, {16, 16}};
    for (const auto& c : cases) {
        CSettingsAxis settings;
        settings.gridAlpha = c.stored;
        {
            Axes a(settings);
            a.dialog.Tabs()->setCurrentIndex(2);
            EXPECT_EQ(Child<QSpinBox>(&a.dialog, "alphaSpin")->value(), c.shown) << c.stored;
            EXPECT_FALSE(a.Confirm()); // kept as stored while the field is not moved
            EXPECT_EQ(a.dialog.Settings().gridAlpha, c.stored);
        }
        Axes a(settings);
        a.dialog.Tabs()->setCurrentIndex(2);
        auto* alpha = Child<QSpinBox>(&a.dialog, "alphaSpin");
        QTest::keyClick(alpha, c.shown == 0 ? Qt::Key_Up : Qt::Key_Down);
        ASSERT_TRUE(a.Confirm()) << c.stored;
        EXPECT_EQ(a.dialog.Settings().gridAlpha, c.shown == 0 ? 1 : c.shown - 1);
    }
}

TEST(AxesDialog, CancelKeepsTheSettings)
{
    CDlgTraceAxes dialog(CSettingsAxis(), DrawnArea());
    const int result = Exec(dialog, [&dialog] {
        ClickToggle(Child<QCheckBox>(&dialog, "drawAxesCheck"));
        Child<QPushButton>(&dialog, "cancelButton")->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(dialog.Settings() == CSettingsAxis());
}

} // namespace
