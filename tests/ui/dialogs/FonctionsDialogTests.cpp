// The function editor: kinds and their fields, the curve spin, new and delete, the step and
// iteration coupling, OK against Cancel, the formula feedback while typing, and the refusals.

#include <cmath>
#include <numbers>
#include <vector>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "model/CFunctionsContext.h"
#include "tests/ui/dialogs/DialogTestSupport.h"
#include "ui/dialogs/CColorBtn.h"
#include "ui/dialogs/CDlgFonctions.h"

using namespace dialogtest;

namespace {

CFunction Curve(CurveType type, const char* f1, const char* f2 = "", double min = 0.0,
    double max = 1.0, int32_t colour = 0, double iterations = 10.0)
{
    CFunction f;
    f.Set(type, f1, f2, min, max, colour, iterations);
    return f;
}

std::vector<CFunction> ThreeCurves()
{
    return {Curve(CurveCartesian, "a"), Curve(CurvePolar, "b", "", 0, 6, 255, 100),
        Curve(CurveParametric, "c", "d", -1, 1, 65280, 50)};
}

// The editor and its controls.
struct Editor {
    explicit Editor(const std::vector<CFunction>& curves) : dialog(curves)
    {
        dialog.show();
        spin = Child<QSpinBox>(&dialog, "indexSpin");
        type = Child<QComboBox>(&dialog, "typeCombo");
        caption1 = Child<QLabel>(&dialog, "formula1Caption");
        caption2 = Child<QLabel>(&dialog, "formula2Caption");
        formula1 = Child<FormulaEdit>(&dialog, "formula1Edit");
        formula2 = Child<FormulaEdit>(&dialog, "formula2Edit");
        feedback1 = Child<QLabel>(&dialog, "formula1Feedback");
        feedback2 = Child<QLabel>(&dialog, "formula2Feedback");
        paramMin = Child<QLineEdit>(&dialog, "paramMinEdit");
        paramMax = Child<QLineEdit>(&dialog, "paramMaxEdit");
        step = Child<QLineEdit>(&dialog, "stepEdit");
        iterations = Child<QLineEdit>(&dialog, "iterationsEdit");
        colour = Child<CColorBtn>(&dialog, "colourButton");
        newButton = Child<QPushButton>(&dialog, "newButton");
        deleteButton = Child<QPushButton>(&dialog, "deleteButton");
        ok = Child<QPushButton>(&dialog, "okButton");
    }

    // OK, and the list it hands back.
    std::vector<CFunction> Confirm()
    {
        ok->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        return dialog.Functions();
    }

    void Step(Qt::Key key) { QTest::keyClick(spin, key); }

    CDlgFonctions dialog;
    QSpinBox* spin;
    QComboBox* type;
    QLabel* caption1;
    QLabel* caption2;
    FormulaEdit* formula1;
    FormulaEdit* formula2;
    QLabel* feedback1;
    QLabel* feedback2;
    QLineEdit* paramMin;
    QLineEdit* paramMax;
    QLineEdit* step;
    QLineEdit* iterations;
    CColorBtn* colour;
    QPushButton* newButton;
    QPushButton* deleteButton;
    QPushButton* ok;
};

TEST(FonctionsDialog, NewDocumentShowsItsCartesianCurve)
{
    Editor e({DefaultCurve()});
    EXPECT_EQ(e.dialog.windowTitle(), "Fonctions");
    EXPECT_EQ(e.type->currentText(), QString::fromUtf8("Cartésienne"));
    EXPECT_EQ(e.caption1->text(), "Fonction y(x)");
    EXPECT_FALSE(e.formula1->isHidden());
    EXPECT_EQ(e.formula1->text(), "sin(1/x)");
    for (QWidget* hidden : std::initializer_list<QWidget*> {
             e.formula2, e.caption2, e.paramMin, e.paramMax, e.step, e.iterations})
        EXPECT_TRUE(hidden->isHidden()) << Std(hidden->objectName());
    EXPECT_EQ(e.spin->value(), 0);
    EXPECT_EQ(e.spin->text(), "0");
    EXPECT_EQ(e.colour->Colour(), DefaultCurve().colour);
    EXPECT_TRUE(e.feedback1->text().isEmpty());
}

TEST(FonctionsDialog, TypeComboListsTheThreeKindsInOrder)
{
    Editor e({DefaultCurve()});
    ASSERT_EQ(e.type->count(), 3);
    const char* texts[] = {"Cartésienne", "Paramétrée", "Polaire"};
    const CurveType types[] = {CurveCartesian, CurveParametric, CurvePolar};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(e.type->itemText(i), QString::fromUtf8(texts[i]));
        EXPECT_EQ(e.type->itemData(i).toInt(), types[i]);
    }
}

struct KindCase {
    int item;
    const char* caption1;
    const char* caption2; // nullptr: second formula hidden
    bool parameterShown;
};

class FonctionsKinds : public ::testing::TestWithParam<KindCase> { };

TEST_P(FonctionsKinds, ChoosingAKindRelabelsAndShowsItsFields)
{
    Editor e({DefaultCurve()});
    e.type->setCurrentIndex(GetParam().item);
    EXPECT_EQ(e.caption1->text(), QString::fromUtf8(GetParam().caption1));
    EXPECT_EQ(!e.formula2->isHidden(), GetParam().caption2 != nullptr);
    EXPECT_EQ(!e.caption2->isHidden(), GetParam().caption2 != nullptr);
    if (GetParam().caption2 != nullptr) {
        EXPECT_EQ(e.caption2->text(), QString::fromUtf8(GetParam().caption2));
    }
    for (QWidget* w :
        std::initializer_list<QWidget*> {e.paramMin, e.paramMax, e.step, e.iterations})
        EXPECT_EQ(!w->isHidden(), GetParam().parameterShown) << Std(w->objectName());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, FonctionsKinds,
    ::testing::Values(KindCase {2, "Fonction r(theta)", nullptr, true},
        KindCase {1, "Fonction x(t)", "Fonction y(t)", true},
        KindCase {0, "Fonction y(x)", nullptr, false}));

TEST(FonctionsDialog, TheStoredKindChangesOnlyWhenStored)
{
    Editor e({Curve(CurveParametric, "cos(t)", "sin(t)")});
    e.type->setCurrentIndex(0); // Cartésienne: the second formula is hidden but kept
    e.type->setCurrentIndex(1);
    EXPECT_EQ(e.formula2->text(), "sin(t)");
    e.type->setCurrentIndex(0);
    const std::vector<CFunction> out = e.Confirm();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Type(), CurveCartesian);
    EXPECT_EQ(out[0].Formula2(), "sin(t)"); // kept though hidden
}

struct CouplingCase {
    const char* field; // the edit typed into
    const char* typed;
    const char* other; // the edit the coupling writes
    const char* expected;
};

class FonctionsCoupling : public ::testing::TestWithParam<CouplingCase> { };

TEST_P(FonctionsCoupling, StepAndIterationsFollowEachOther)
{
    Editor e({Curve(CurvePolar, "theta", "", 0, 10, 0, 7)});
    TypeInto(Child<QLineEdit>(&e.dialog, GetParam().field), QString::fromUtf8(GetParam().typed));
    EXPECT_EQ(Child<QLineEdit>(&e.dialog, GetParam().other)->text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, FonctionsCoupling,
    ::testing::Values(CouplingCase {"iterationsEdit", "100", "stepEdit", "0.100000"},
        CouplingCase {"stepEdit", "0.5", "iterationsEdit", "20.000000"},
        CouplingCase {"iterationsEdit", "0", "stepEdit", "1.000000"},
        CouplingCase {"stepEdit", "0", "iterationsEdit", "inf"}));

TEST(FonctionsDialog, ShowingACurveWritesItsOwnCountAndItsStep)
{
    // 1009 iterations over a range of 1: the shown count is the curve's, not one recomputed from
    // the six-decimal step.
    Editor e({Curve(CurvePolar, "theta", "", 0, 1, 0, 1009)});
    EXPECT_EQ(e.iterations->text(), "1009.000000");
    EXPECT_EQ(e.step->text(), "0.000991");
    const std::vector<CFunction> out = e.Confirm();
    EXPECT_EQ(out[0].iterations, 1009.0);
}

TEST(FonctionsDialog, ConfirmingWithoutEditsRoundsNothing)
{
    const CFunction curve = Curve(CurvePolar, "sin(3*theta)", "", -std::numbers::pi,
        2 * std::numbers::pi, 0x123456, 1.0 / 3.0);
    Editor e({curve});
    EXPECT_EQ(e.paramMax->text(), "6.283185");
    const std::vector<CFunction> out = e.Confirm();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(out[0] == curve);
}

TEST(FonctionsDialog, NumbersAreReadWithAtofRulesWhateverTheLocale)
{
    Editor e({Curve(CurvePolar, "theta", "", 0, 1, 0, 10)});
    TypeInto(e.paramMin, "-0.5");
    TypeInto(e.paramMax, "2.25abc");
    TypeInto(e.iterations, "x");
    const std::vector<CFunction> out = e.Confirm();
    EXPECT_EQ(out[0].paramMin, -0.5);
    EXPECT_EQ(out[0].paramMax, 2.25);
    EXPECT_EQ(out[0].iterations, 0.0);
}

TEST(FonctionsDialog, NewCurveThenCancelOrOk)
{
    for (const bool confirm : {false, true}) {
        Editor e(ThreeCurves());
        e.newButton->click();
        EXPECT_EQ(e.spin->value(), 3);
        EXPECT_EQ(e.spin->maximum(), 3);
        EXPECT_TRUE(e.formula1->text().isEmpty());
        EXPECT_EQ(e.type->currentIndex(), 0);
        EXPECT_EQ(e.colour->Colour(), 0);
        TypeInto(e.formula1, "x^2");
        if (!confirm) {
            Child<QPushButton>(&e.dialog, "cancelButton")->click();
            EXPECT_NE(e.dialog.result(), QDialog::Accepted);
            continue;
        }
        const std::vector<CFunction> out = e.Confirm();
        ASSERT_EQ(out.size(), 4u);
        const std::vector<CFunction> three = ThreeCurves();
        for (size_t i = 0; i < 3; ++i)
            EXPECT_TRUE(out[i] == three[i]) << i;
        EXPECT_EQ(out[3].Formula1(), "x^2");
        EXPECT_EQ(out[3].Type(), CurveCartesian);
        EXPECT_EQ(out[3].paramMax, 1.0);
        EXPECT_EQ(out[3].iterations, 1.0);
    }
}

TEST(FonctionsDialog, TheSpinStoresTheShownCurveAndStopsAtItsEnds)
{
    Editor e(ThreeCurves());
    e.Step(Qt::Key_Down); // below 0: stays
    EXPECT_EQ(e.spin->value(), 0);
    EXPECT_EQ(e.formula1->text(), "a");
    TypeInto(e.formula1, "a2");
    e.Step(Qt::Key_Up);
    EXPECT_EQ(e.spin->value(), 1);
    EXPECT_EQ(e.formula1->text(), "b");
    EXPECT_EQ(e.caption1->text(), "Fonction r(theta)");
    e.Step(Qt::Key_Up);
    e.Step(Qt::Key_Up); // above the range: stays on the last curve
    EXPECT_EQ(e.spin->value(), 2);
    EXPECT_EQ(e.formula2->text(), "d");
    e.Step(Qt::Key_PageDown); // ten down is outside the range too
    EXPECT_EQ(e.spin->value(), 2);
    EXPECT_EQ(e.formula1->text(), "c");
    e.Step(Qt::Key_Down);
    e.Step(Qt::Key_Down);
    EXPECT_EQ(e.formula1->text(), "a2"); // the edit was stored when the spin moved
    EXPECT_EQ(e.Confirm()[0].Formula1(), "a2");
}

TEST(FonctionsDialog, TheIndexIsNotTyped)
{
    Editor e(ThreeCurves());
    QTest::keyClicks(e.spin, "2");
    EXPECT_EQ(e.spin->value(), 0);
}

struct DeleteCase {
    const char* name;
    int position; // the curve shown when deleting
    const char* answer;
    std::vector<const char*> left; // formula1 of the curves left
    int shownPosition;
    const char* shownFormula;
};

void PrintTo(const DeleteCase& c, std::ostream* os)
{
    *os << c.name;
}

class FonctionsDelete : public ::testing::TestWithParam<DeleteCase> { };

TEST_P(FonctionsDelete, AsksThenRemovesTheShownCurve)
{
    const DeleteCase& c = GetParam();
    Editor e(ThreeCurves());
    for (int i = 0; i < c.position; ++i)
        e.Step(Qt::Key_Up);
    AnswerMessageBox(QString::fromUtf8(c.answer));
    e.deleteButton->click();
    EXPECT_EQ(e.spin->value(), c.shownPosition);
    EXPECT_EQ(e.formula1->text(), c.shownFormula);
    EXPECT_EQ(e.spin->maximum(), static_cast<int>(c.left.size()) - 1);
    const std::vector<CFunction> out = e.Confirm();
    ASSERT_EQ(out.size(), c.left.size());
    for (size_t i = 0; i < out.size(); ++i)
        EXPECT_EQ(out[i].Formula1(), c.left[i]);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, FonctionsDelete,
    ::testing::Values(DeleteCase {"Middle", 1, "Oui", {"a", "c"}, 1, "c"},
        DeleteCase {"Last", 2, "Oui", {"a", "b"}, 1, "b"},
        DeleteCase {"First", 0, "Oui", {"b", "c"}, 0, "b"},
        DeleteCase {"AnsweredNo", 1, "Non", {"a", "b", "c"}, 1, "b"}));

TEST(FonctionsDialog, DeleteQuestionHasOuiAndNonAndNoIcon)
{
    Editor e(ThreeCurves());
    bool asked = false;
    WhenModal<QMessageBox>([&asked](QMessageBox* box) {
        asked = true;
        EXPECT_EQ(box->text(), "Supprimer cette fonction ?");
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        QStringList texts;
        for (QAbstractButton* b : box->buttons())
            texts << b->text();
        texts.sort();
        EXPECT_EQ(texts, QStringList({"Non", "Oui"}));
        box->reject(); // Escape answers Non
    });
    e.deleteButton->click();
    EXPECT_TRUE(asked);
    EXPECT_EQ(e.Confirm().size(), 3u);
}

TEST(FonctionsDialog, DeletingTheOnlyCurveLeavesAFreshOneAndThenNothingToDelete)
{
    Editor e({Curve(CurveParametric, "t", "t^2")});
    AnswerMessageBox("Oui");
    e.deleteButton->click();
    EXPECT_EQ(e.spin->value(), 0);
    EXPECT_TRUE(e.formula1->text().isEmpty());
    EXPECT_EQ(e.caption1->text(), "Fonction y(x)");
    // With the list empty, the button asks nothing and does nothing.
    MessageBoxWatch watch;
    e.deleteButton->click();
    EXPECT_FALSE(watch.Seen());
    // The fresh curve shown enters the list on OK, as after "Nouvelle fonction".
    ASSERT_EQ(e.Confirm().size(), 1u);
}

TEST(FonctionsDialog, DeletingAFreshCurveDropsItAndShowsTheLastStoredOne)
{
    Editor e(ThreeCurves());
    e.newButton->click();
    TypeInto(e.formula1, "never kept");
    AnswerMessageBox("Oui");
    e.deleteButton->click();
    EXPECT_EQ(e.spin->value(), 2);
    EXPECT_EQ(e.spin->maximum(), 2);
    EXPECT_EQ(e.formula1->text(), "c");
    const std::vector<CFunction> out = e.Confirm();
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2].Formula1(), "c");
}

TEST(FonctionsDialog, ColourIsStoredFromTheButton)
{
    Editor e({DefaultCurve()});
    e.colour->SetColour(0x00FF8000);
    EXPECT_EQ(e.Confirm()[0].colour, 0x00FF8000);
}

// ---- formula feedback ----

struct FeedbackCase {
    const char* name;
    int kindItem;
    const char* typed;
    const char* message; // empty: silent
    int markFrom;
    int markLength;
};

void PrintTo(const FeedbackCase& c, std::ostream* os)
{
    *os << c.name;
}

class FonctionsFeedback : public ::testing::TestWithParam<FeedbackCase> { };

TEST_P(FonctionsFeedback, SaysWhatIsWrongAndMarksIt)
{
    const FeedbackCase& c = GetParam();
    Editor e({DefaultCurve()});
    e.type->setCurrentIndex(c.kindItem);
    TypeInto(e.formula1, QString::fromUtf8(c.typed));
    EXPECT_EQ(Std(e.feedback1->text()), c.message);
    EXPECT_EQ(e.formula1->MarkFrom(), c.markFrom);
    EXPECT_EQ(e.formula1->MarkLength(), c.markLength);
    EXPECT_EQ(e.formula1->text(), QString::fromUtf8(c.typed)); // any text is kept
}

INSTANTIATE_TEST_SUITE_P(Dialogs, FonctionsFeedback,
    ::testing::Values(FeedbackCase {"Good", 0, "sin(1/x)", "", -1, 0},
        FeedbackCase {"GoodPolarInUpperCase", 2, "THETA^2", "", -1, 0},
        FeedbackCase {"Syntax", 0, "-(x+1)", "Erreur de syntaxe, caractère 1", 0, 1},
        FeedbackCase {"Unbalanced", 0, "sin(x", "Parenthèses mal appariées, caractère 4", 3, 1},
        FeedbackCase {
            "UnknownFunction", 0, "2*log10(x)", "Fonction inconnue, caractères 3 à 7", 2, 5},
        FeedbackCase {"MissingOperand", 0, "x+", "Expression vide après le caractère 2", 1, 1},
        FeedbackCase {"FoldedDivision", 0, "1/0", "Division par zéro", -1, 0},
        FeedbackCase {"WrongVariable", 0, "sin(t)",
            "Variable «\u00A0t\u00A0» au lieu de «\u00A0x\u00A0», caractère 5", 4, 1},
        FeedbackCase {"PolarWithX", 2, "2*x",
            "Variable «\u00A0x\u00A0» au lieu de «\u00A0theta\u00A0», caractère 3", 2, 1},
        FeedbackCase {"TwoVariables", 0, "x+yy",
            "Variable «\u00A0yy\u00A0» en trop, caractères 3 à 4\u00A0: une seule variable est "
            "permise",
            2, 2},
        FeedbackCase {"NotInTheCodePage", 0, "2*\u03B8",
            "«\u00A0\u03B8\u00A0» ne peut pas figurer dans une formule, caractère 3", 2, 1}),
    [](const ::testing::TestParamInfo<FeedbackCase>& info) {
        return std::string(info.param.name);
    });

TEST(FonctionsDialog, FeedbackFollowsTheKindAndTheSecondFormula)
{
    Editor e({Curve(CurveCartesian, "sin(t)")});
    EXPECT_FALSE(e.feedback1->text().isEmpty()); // a stored curve is checked as it is shown
    e.type->setCurrentIndex(1); // Paramétrée: t is its variable
    EXPECT_TRUE(e.feedback1->text().isEmpty());
    TypeInto(e.formula2, "t*");
    EXPECT_EQ(Std(e.feedback2->text()), "Expression vide après le caractère 2");
    TypeInto(e.formula2, "t*2");
    EXPECT_TRUE(e.feedback2->text().isEmpty());
}

TEST(FonctionsDialog, ACharacterTheFilesCannotHoldIsRefusedAtOk)
{
    Editor e({DefaultCurve(), DefaultCurve()});
    TypeInto(e.formula1, QString::fromUtf8("r\u2009+1")); // a thin space
    bool warned = false;
    WhenModal<QMessageBox>([&warned](QMessageBox* box) {
        warned = box->text().contains(QChar(0x2009));
        box->accept();
    });
    e.ok->click();
    EXPECT_TRUE(warned);
    EXPECT_TRUE(e.dialog.isVisible()); // still open, nothing handed back
    EXPECT_NE(e.dialog.result(), QDialog::Accepted);
    // Nor does the curve leave for another: the spin and "Nouvelle fonction" refuse as well.
    for (QWidget* mover : std::initializer_list<QWidget*> {e.spin, e.newButton}) {
        warned = false;
        WhenModal<QMessageBox>([&warned](QMessageBox* box) {
            warned = true;
            box->accept();
        });
        if (mover == e.spin)
            e.Step(Qt::Key_Up);
        else
            e.newButton->click();
        EXPECT_TRUE(warned);
        EXPECT_EQ(e.spin->value(), 0);
        EXPECT_EQ(e.spin->maximum(), 1);
        EXPECT_EQ(e.formula1->text(), QString::fromUtf8("r\u2009+1"));
    }
    TypeInto(e.formula1, QString::fromUtf8("é+1")); // in the code page: kept
    const std::vector<CFunction> out = e.Confirm();
    EXPECT_EQ(out[0].Formula1(), "\xE9+1");
}

struct RangeRefusal {
    const char* name;
    CurveType kind;
    const char* field; // typed into
    const char* typed;
    const char* named; // the field the message names
    const char* focused;
};

void PrintTo(const RangeRefusal& c, std::ostream* os)
{
    *os << c.name;
}

class FonctionsRangeRefusals : public ::testing::TestWithParam<RangeRefusal> { };

TEST_P(FonctionsRangeRefusals, ARangeTheCurveCannotBeWalkedIsRefusedOnItsField)
{
    const RangeRefusal& c = GetParam();
    Editor e({Curve(c.kind, "cos(t)", "sin(t)", 0, 6, 0, 100), Curve(CurvePolar, "theta")});
    if (c.kind == CurvePolar)
        TypeInto(e.formula1, "theta");
    TypeInto(Child<QLineEdit>(&e.dialog, c.field), QString::fromUtf8(c.typed));
    // OK, the spin and "Nouvelle fonction" all refuse, and the curve stays shown.
    for (int attempt = 0; attempt < 3; ++attempt) {
        QString message;
        WhenModal<QMessageBox>([&message](QMessageBox* box) {
            message = box->text();
            box->accept();
        });
        if (attempt == 0)
            e.ok->click();
        else if (attempt == 1)
            e.Step(Qt::Key_Up);
        else
            e.newButton->click();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.named))) << Std(message);
        EXPECT_TRUE(e.dialog.isVisible());
        EXPECT_NE(e.dialog.result(), QDialog::Accepted);
        EXPECT_EQ(e.spin->value(), 0);
        EXPECT_EQ(e.spin->maximum(), 1);
        EXPECT_EQ(e.dialog.focusWidget(), Child<QLineEdit>(&e.dialog, c.focused)) << attempt;
    }
    TypeInto(e.paramMin, "-1");
    TypeInto(e.paramMax, "1");
    const std::vector<CFunction> out = e.Confirm();
    EXPECT_EQ(out[0].paramMin, -1.0);
    EXPECT_EQ(out[0].paramMax, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, FonctionsRangeRefusals,
    ::testing::Values(RangeRefusal {"NotANumber", CurveParametric, "paramMinEdit", "nan",
                          "Paramètre minimal", "paramMinEdit"},
        RangeRefusal {
            "Infinite", CurvePolar, "paramMaxEdit", "-inf", "Paramètre maximal", "paramMaxEdit"},
        RangeRefusal {"BeyondTheDoubles", CurveParametric, "paramMaxEdit", "1e400",
            "Paramètre maximal", "paramMaxEdit"},
        RangeRefusal {
            "Equal", CurvePolar, "paramMaxEdit", "0", "Paramètre minimal", "paramMaxEdit"}),
    [](const ::testing::TestParamInfo<RangeRefusal>& info) {
        return std::string(info.param.name);
    });

TEST(FonctionsDialog, TheHiddenRangeOfACartesianCurveIsKeptUnchecked)
{
    // Its range is not walked: the field cannot be seen, and whatever it holds is stored.
    Editor e({Curve(CurvePolar, "theta", "", 0, 1, 0, 10)});
    TypeInto(e.paramMin, "nan");
    e.type->setCurrentIndex(0);
    MessageBoxWatch watch;
    const std::vector<CFunction> out = e.Confirm();
    EXPECT_FALSE(watch.Seen());
    EXPECT_TRUE(std::isnan(out[0].paramMin));
    // A reversed range is the user's to mean.
    Editor reversed({Curve(CurvePolar, "theta", "", 0, 1, 0, 10)});
    TypeInto(reversed.paramMin, "2");
    EXPECT_EQ(reversed.Confirm()[0].paramMin, 2.0);
}

TEST(FonctionsDialog, ARefusedCharacterNamesItsFieldAndShowsAHiddenOne)
{
    Editor e({Curve(CurveParametric, "cos(t)", "sin(t)")});
    TypeInto(e.formula2, QString::fromUtf8("sin(t)\u2009")); // a thin space
    e.type->setCurrentIndex(0); // Cartésienne: the second formula is hidden, and kept
    ASSERT_TRUE(e.formula2->isHidden());
    QString message;
    WhenModal<QMessageBox>([&message](QMessageBox* box) {
        message = box->text();
        box->accept();
    });
    e.ok->click();
    EXPECT_TRUE(message.contains(QString::fromUtf8("«\u00A0Fonction y(t)\u00A0»"))) << Std(message);
    EXPECT_TRUE(message.contains(QChar(0x2009)));
    EXPECT_TRUE(e.dialog.isVisible());
    // The field the message is about can be seen, captioned, and holds the focus on the character.
    EXPECT_FALSE(e.formula2->isHidden());
    EXPECT_FALSE(e.caption2->isHidden());
    EXPECT_EQ(e.caption2->text(), "Fonction y(t)");
    EXPECT_EQ(e.dialog.focusWidget(), e.formula2);
    EXPECT_EQ(e.formula2->selectedText(), QString(QChar(0x2009)));
    TypeInto(e.formula2, "sin(t)");
    const std::vector<CFunction> out = e.Confirm();
    EXPECT_EQ(out[0].Type(), CurveCartesian);
    EXPECT_EQ(out[0].Formula2(), "sin(t)");

    // A shown formula is named by its caption too.
    Editor polar({Curve(CurvePolar, "theta")});
    TypeInto(polar.formula1, QString::fromUtf8("\u03B8"));
    WhenModal<QMessageBox>([&message](QMessageBox* box) {
        message = box->text();
        box->accept();
    });
    polar.ok->click();
    EXPECT_TRUE(message.contains(QString::fromUtf8("«\u00A0Fonction r(theta)\u00A0»")))
        << Std(message);
    EXPECT_EQ(polar.dialog.focusWidget(), polar.formula1);
}

TEST(FonctionsDialog, KeepsItsSizeWhenTheKindChanges)
{
    // Each kind's captions and messages differ in length: none of them moves the dialog's edges.
    Editor e({Curve(CurveCartesian, "sin(t)"), Curve(CurveParametric, "cos(t)", "sin(x)*yy"),
        Curve(CurvePolar, "theta+t")});
    QApplication::processEvents();
    const QSize size = e.dialog.size();
    for (const int item : {1, 2, 0, 2, 1}) {
        e.type->setCurrentIndex(item);
        QApplication::processEvents();
        EXPECT_EQ(e.dialog.size(), size) << item;
    }
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down}) {
        e.Step(key);
        QApplication::processEvents();
        EXPECT_EQ(e.dialog.size(), size) << e.spin->value();
    }
    // A message longer than the line keeps its whole text, shown in the tooltip too.
    e.type->setCurrentIndex(0);
    TypeInto(e.formula1, "x+une_variable_au_nom_bien_trop_long_pour_la_ligne");
    QApplication::processEvents();
    EXPECT_EQ(e.dialog.size(), size);
    EXPECT_TRUE(e.feedback1->text().endsWith(QString::fromUtf8("une seule variable est permise")));
    EXPECT_EQ(e.feedback1->toolTip(), e.feedback1->text());
}

TEST(FonctionsDialog, ExecEndsAcceptedOnOkAndRejectedOnEscape)
{
    {
        CDlgFonctions dialog({DefaultCurve()});
        const int result = Exec(dialog, [&dialog] {
            QTest::keyClick(Child<QLineEdit>(&dialog, "formula1Edit"), Qt::Key_Return);
        });
        EXPECT_EQ(result, QDialog::Accepted);
    }
    {
        CDlgFonctions dialog({DefaultCurve()});
        const int result = Exec(dialog, [&dialog] {
            QTest::keyClick(Child<QLineEdit>(&dialog, "formula1Edit"), Qt::Key_Escape);
        });
        EXPECT_EQ(result, QDialog::Rejected);
    }
}

} // namespace
