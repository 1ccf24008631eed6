// "Dérivée de fonctions": the lower-case derivative, the emptied result and its reason, Enter
// closing the tool.

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "model/CFunction.h"
#include "tests/ui/dialogs/DialogTestSupport.h"
#include "ui/dialogs/CDlgToolsDerivate.h"
#include "ui/dialogs/DialogSupport.h"

using namespace dialogtest;

namespace {

struct Tool {
    Tool()
    {
        dialog.show();
        formula = Child<FormulaEdit>(&dialog, "formulaEdit");
        variable = Child<FormulaEdit>(&dialog, "variableEdit");
        result = Child<QPlainTextEdit>(&dialog, "resultEdit");
        problem = Child<QLabel>(&dialog, "problemLabel");
        derive = Child<QPushButton>(&dialog, "deriveButton");
    }
    void Derive(const char* f, const char* v)
    {
        TypeInto(formula, QString::fromUtf8(f));
        TypeInto(variable, QString::fromUtf8(v));
        derive->click();
    }

    CDlgToolsDerivate dialog;
    FormulaEdit* formula;
    FormulaEdit* variable;
    QPlainTextEdit* result;
    QLabel* problem;
    QPushButton* derive;
};

struct DeriveCase {
    const char* formula;
    const char* variable;
};

class DerivativeTool : public ::testing::TestWithParam<DeriveCase> { };

TEST_P(DerivativeTool, ShowsTheModelsDerivativeInLowerCase)
{
    Tool t;
    t.Derive(GetParam().formula, GetParam().variable);
    std::string expected;
    ASSERT_TRUE(DeriveText(GetParam().formula, GetParam().variable, expected));
    const QString shown = t.result->toPlainText();
    EXPECT_EQ(shown.toStdString(), expected);
    EXPECT_EQ(shown, shown.toLower());
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_TRUE(t.problem->text().isEmpty());
    t.derive->click(); // twice: the same text
    EXPECT_EQ(t.result->toPlainText(), shown);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DerivativeTool,
    ::testing::Values(DeriveCase {"sin(x)*x", "x"}, DeriveCase {"X^3", "X"},
        DeriveCase {"exp(T)", "T"}, DeriveCase {"ln(theta)+PI", "theta"},
        DeriveCase {"0.5*x^2+1.25e-3*x", "x"}));

struct FailCase {
    const char* formula;
    const char* variable;
    const char* reason;
    int markFrom;
    int markLength;
};

class DerivativeToolFailure : public ::testing::TestWithParam<FailCase> { };

TEST_P(DerivativeToolFailure, EmptiesTheResultAndSaysWhy)
{
    Tool t;
    t.Derive("x^2", "x");
    ASSERT_FALSE(t.result->toPlainText().isEmpty());
    t.Derive(GetParam().formula, GetParam().variable);
    EXPECT_TRUE(t.result->toPlainText().isEmpty());
    EXPECT_EQ(t.problem->text().toStdString(), GetParam().reason);
    EXPECT_EQ(t.formula->MarkFrom(), GetParam().markFrom);
    EXPECT_EQ(t.formula->MarkLength(), GetParam().markLength);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DerivativeToolFailure,
    ::testing::Values(FailCase {"sin(", "x", "Parenthèses mal appariées, caractère 4", 3, 1},
        FailCase {"x%2", "x", "Cette expression n'a pas de dérivée", -1, 0},
        FailCase {"", "x", "Expression vide", -1, 0},
        FailCase {"2 x", "x", "Opérateur attendu, caractère 2", 1, 1},
        FailCase {"y=x", "x", "Opérateur inconnu, caractère 2", 1, 1},
        FailCase {"2*\u03C0", "x",
            "«\u00A0\u03C0\u00A0» ne peut pas figurer dans une formule, caractère 3", 2, 1}));

TEST(DerivativeToolDialog, AVariableNameOutsideTheCodePageIsRefused)
{
    Tool t;
    t.Derive("x", "\u03B8");
    EXPECT_TRUE(t.result->toPlainText().isEmpty());
    EXPECT_EQ(t.problem->text().toStdString(),
        "«\u00A0\u03B8\u00A0» ne peut pas figurer dans un nom de variable, caractère 1");
    EXPECT_EQ(t.variable->MarkLength(), 1);
}

TEST(DerivativeToolDialog, EnterInAnyEditClosesTheTool)
{
    for (const char* name : {"formulaEdit", "variableEdit", "resultEdit"}) {
        CDlgToolsDerivate dialog;
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Dérivée de fonctions"));
        const int result = Exec(dialog, [&dialog, name] {
            QWidget* edit = Child<QWidget>(&dialog, name);
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_Return);
        });
        EXPECT_EQ(result, QDialog::Accepted) << name;
    }
}

TEST(DerivativeToolDialog, EnterOnTheDeriveButtonDerivesAndStays)
{
    Tool t;
    TypeInto(t.formula, "x^2");
    TypeInto(t.variable, "x");
    t.derive->setFocus();
    QTest::keyClick(t.derive, Qt::Key_Return);
    EXPECT_TRUE(t.dialog.isVisible());
    EXPECT_FALSE(t.result->toPlainText().isEmpty());
}

TEST(DerivativeToolDialog, QuitAndEscapeClose)
{
    for (const bool escape : {false, true}) {
        CDlgToolsDerivate dialog;
        const int result = Exec(dialog, [&dialog, escape] {
            if (escape)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                Child<QPushButton>(&dialog, "quitButton")->click();
        });
        EXPECT_EQ(result, QDialog::Rejected);
        EXPECT_FALSE(dialog.isVisible());
    }
}

} // namespace
