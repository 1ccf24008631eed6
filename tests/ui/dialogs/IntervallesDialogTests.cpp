// "Zone de travail": the bounds shown with six decimals, OK accepted only on a change, atof
// reading in the "C" locale, and the refusal of a range the plot cannot be drawn over.

#include <utility>
#include <vector>

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

struct RefusalCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> typed; // field, text
    bool normaliseX; // the box ticked as the new document has it
    std::vector<const char*> named; // labels the message names
    const char* focused; // the field left focused
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class IntervallesRefusals : public ::testing::TestWithParam<RefusalCase> { };

TEST_P(IntervallesRefusals, ARangeThePlotCannotBeDrawnOverKeepsTheDialogOpenOnItsField)
{
    const RefusalCase& c = GetParam();
    CDlgIntervalles dialog(NewDocumentArea());
    dialog.show();
    if (!c.normaliseX)
        ClickToggle(Child<QCheckBox>(&dialog, "normaliseXCheck"));
    for (const auto& [field, text] : c.typed)
        TypeInto(Child<QLineEdit>(&dialog, field), QString::fromUtf8(text));
    QString message;
    WhenModal<QMessageBox>([&message](QMessageBox* box) {
        message = box->text();
        box->accept();
    });
    Child<QPushButton>(&dialog, "okButton")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    for (const char* label : c.named)
        EXPECT_TRUE(message.contains(QString::fromUtf8(label))) << Std(message);
    EXPECT_EQ(dialog.focusWidget(), Child<QLineEdit>(&dialog, c.focused));
    // Mended, it is taken.
    TypeInto(Child<QLineEdit>(&dialog, c.focused), c.focused[0] == 'x' ? "30" : "20");
    if (c.typed.size() > 1)
        TypeInto(Child<QLineEdit>(&dialog, c.typed[0].first), "-30");
    Child<QPushButton>(&dialog, "okButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, IntervallesRefusals,
    ::testing::Values(
        RefusalCase {"NotANumber", {{"xMinEdit", "nan"}}, true, {"Abscisse minimale"}, "xMinEdit"},
        RefusalCase {"Infinite", {{"xMaxEdit", "inf"}}, true, {"Abscisse maximale"}, "xMaxEdit"},
        RefusalCase {
            "BeyondTheDoubles", {{"yMinEdit", "1e400"}}, true, {"Ordonnée minimale"}, "yMinEdit"},
        RefusalCase {"EqualAbscissae", {{"xMaxEdit", "-22"}}, true,
            {"Abscisse minimale", "Abscisse maximale"}, "xMaxEdit"},
        RefusalCase {"EqualOrdinatesUsedAsTyped", {{"yMaxEdit", "-10"}}, false,
            {"Ordonnée minimale", "Ordonnée maximale"}, "yMaxEdit"},
        RefusalCase {"TooWide", {{"xMinEdit", "-1e308"}, {"xMaxEdit", "1e308"}}, true,
            {"Abscisse minimale", "Abscisse maximale"}, "xMaxEdit"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

TEST(IntervallesDialog, EqualOrdinatesAreTakenWhenOnlyTheirMiddleIsUsed)
{
    // Normalised along x, the y range is rebuilt around the middle of the typed one.
    CDlgIntervalles dialog(NewDocumentArea());
    dialog.show();
    TypeInto(Child<QLineEdit>(&dialog, "yMinEdit"), "2");
    TypeInto(Child<QLineEdit>(&dialog, "yMaxEdit"), "2");
    MessageBoxWatch watch;
    Child<QPushButton>(&dialog, "okButton")->click();
    EXPECT_FALSE(watch.Seen());
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Area().areaYMin, 2.0);
    EXPECT_EQ(dialog.Area().areaYMax, 2.0);
}

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
