// "Zone de travail": the bounds shown with six decimals, OK accepted only on a change, atof
// reading in the "C" locale.

#include <QCheckBox>
#include <QPushButton>

#include "model/CFunctionsContext.h"
#include "tests/ui/dialogs/DialogTestSupport.h"
#include "ui/dialogs/CDlgIntervalles.h"

using namespace dialogtest;

namespace {

CWorkingArea NewDocumentArea()
{
    CFunctionsContext context;
    context.ApplyNewDocumentDefaults();
    return context.area;
}

TEST(IntervallesDialog, ShowsTheNewDocumentAreaAndOkWithoutChangeIsCancel)
{
    CDlgIntervalles dialog(NewDocumentArea());
    EXPECT_EQ(dialog.windowTitle(), "Zone de travail");
    const char* names[] = {"xMinEdit", "xMaxEdit", "yMinEdit", "yMaxEdit"};
    const char* shown[] = {"-22.000000", "18.000000", "-10.000000", "10.000000"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Child<QLineEdit>(&dialog, names[i])->text(), shown[i]);
    EXPECT_TRUE(Child<QCheckBox>(&dialog, "normaliseXCheck")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(&dialog, "normaliseYCheck")->isChecked());
    EXPECT_EQ(Child<QPushButton>(&dialog, "cancelButton")->text(), "Cancel");
    const int result = Exec(dialog, [&dialog] {
        QTest::keyClick(Child<QLineEdit>(&dialog, "xMinEdit"), Qt::Key_Return); // OK is default
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST(IntervallesDialog, AnAreaOfManyDecimalsIsNotChangedByOpeningIt)
{
    CWorkingArea area = NewDocumentArea();
    area.areaXMin = -22.123456789; // as a zoom leaves it
    area.areaYMax = 1.0 / 3.0;
    CDlgIntervalles dialog(area);
    EXPECT_EQ(Child<QLineEdit>(&dialog, "xMinEdit")->text(), "-22.123457");
    Child<QPushButton>(&dialog, "okButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

struct ChangeCase {
    const char* name;
    const char* field; // an edit or a check box
    const char* typed; // nullptr: click the check box
    double xMin; // the resulting area
    double xMax;
    bool normaliseX;
    bool normaliseY;
};

void PrintTo(const ChangeCase& c, std::ostream* os)
{
    *os << c.name;
}

class IntervallesChanges : public ::testing::TestWithParam<ChangeCase> { };

TEST_P(IntervallesChanges, AChangeEndsAcceptedWithTheTypedRecord)
{
    const ChangeCase& c = GetParam();
    CDlgIntervalles dialog(NewDocumentArea());
    dialog.show();
    if (c.typed != nullptr)
        TypeInto(Child<QLineEdit>(&dialog, c.field), QString::fromUtf8(c.typed));
    else
        ClickToggle(Child<QCheckBox>(&dialog, c.field));
    Child<QPushButton>(&dialog, "okButton")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    const CWorkingArea& a = dialog.Area();
    EXPECT_EQ(a.areaXMin, c.xMin);
    EXPECT_EQ(a.areaXMax, c.xMax);
    EXPECT_EQ(a.areaYMin, -10.0);
    EXPECT_EQ(a.areaYMax, 10.0);
    EXPECT_EQ(a.normaliseX, c.normaliseX);
    EXPECT_EQ(a.normaliseY, c.normaliseY);
    // The view is rebuilt before drawing: placeholders until then.
    EXPECT_EQ(a.viewXMin, -1.0);
    EXPECT_EQ(a.viewXMax, 1.0);
    EXPECT_EQ(a.viewYMin, -1.0);
    EXPECT_EQ(a.viewYMax, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, IntervallesChanges,
    ::testing::Values(ChangeCase {"CheckBoxAlone", "normaliseYCheck", nullptr, -22, 18, true, true},
        ChangeCase {"UntickX", "normaliseXCheck", nullptr, -22, 18, false, false},
        ChangeCase {"LettersAfterANumber", "xMinEdit", "5abc", 5, 18, true, false},
        ChangeCase {"DecimalPointInAnyLocale", "xMaxEdit", "0.5", -22, 0.5, true, false},
        ChangeCase {"NoNumberIsZero", "xMinEdit", "abc", 0, 18, true, false},
        ChangeCase {"ReversedBoundsAreKept", "xMaxEdit", "-30", -22, -30, true, false}),
    [](const ::testing::TestParamInfo<ChangeCase>& info) { return std::string(info.param.name); });

TEST(IntervallesDialog, CancelAndEscapeEndRejected)
{
    for (const bool escape : {false, true}) {
        CDlgIntervalles dialog(NewDocumentArea());
        const int result = Exec(dialog, [&dialog, escape] {
            TypeInto(Child<QLineEdit>(&dialog, "xMinEdit"), "3");
            if (escape)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                Child<QPushButton>(&dialog, "cancelButton")->click();
        });
        EXPECT_EQ(result, QDialog::Rejected);
    }
}

} // namespace
