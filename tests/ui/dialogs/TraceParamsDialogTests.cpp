// "Paramètres généraux": the four flags, the radio pair, OK accepted only on a change.

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include "tests/ui/dialogs/DialogTestSupport.h"
#include "ui/dialogs/CDlgTraceParams.h"

using namespace dialogtest;

namespace {

class TraceParamsRadios : public ::testing::TestWithParam<bool> { };

TEST_P(TraceParamsRadios, ExactlyOneModeIsTicked)
{
    CCurvanaParams params;
    params.joinedLines = GetParam();
    CDlgTraceParams dialog(params);
    dialog.show();
    auto* dots = Child<QRadioButton>(&dialog, "dotsRadio");
    auto* lines = Child<QRadioButton>(&dialog, "linesRadio");
    EXPECT_EQ(lines->isChecked(), GetParam());
    EXPECT_EQ(dots->isChecked(), !GetParam());
    ClickToggle(GetParam() ? dots : lines);
    EXPECT_NE(dots->isChecked(), lines->isChecked());
    Child<QPushButton>(&dialog, "okButton")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Params().joinedLines, !GetParam());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, TraceParamsRadios, ::testing::Bool());

struct FlagCase {
    const char* control;
    bool CCurvanaParams::*flag;
};

class TraceParamsFlags : public ::testing::TestWithParam<FlagCase> { };

TEST_P(TraceParamsFlags, EachFlagAloneIsAChange)
{
    CCurvanaParams params;
    params.antialias = false;
    params.searchDiscontinuities = false;
    CDlgTraceParams dialog(params);
    dialog.show();
    ClickToggle(Child<QAbstractButton>(&dialog, GetParam().control));
    Child<QPushButton>(&dialog, "okButton")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    CCurvanaParams expected = params;
    expected.*GetParam().flag = !(params.*GetParam().flag);
    EXPECT_TRUE(dialog.Params() == expected);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, TraceParamsFlags,
    ::testing::Values(FlagCase {"antialiasCheck", &CCurvanaParams::antialias},
        FlagCase {"dotsRadio", &CCurvanaParams::joinedLines},
        FlagCase {"breakPointsCheck", &CCurvanaParams::searchBreakPoints},
        FlagCase {"discontinuitiesCheck", &CCurvanaParams::searchDiscontinuities}));

TEST(TraceParamsDialog, OkWithoutChangeOrAfterUndoingOneIsCancel)
{
    CCurvanaParams params;
    CDlgTraceParams dialog(params);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Paramètres généraux"));
    auto* antialias = Child<QCheckBox>(&dialog, "antialiasCheck");
    const int result = Exec(dialog, [&] {
        ClickToggle(antialias);
        ClickToggle(antialias);
        Child<QPushButton>(&dialog, "okButton")->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

} // namespace
