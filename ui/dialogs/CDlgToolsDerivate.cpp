#include "ui/dialogs/CDlgToolsDerivate.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/FormulaCheck.h"
#include "ui/Cp1252Text.h"
#include "ui/FormulaMessages.h"
#include "ui/SharedTexts.h"
#include "ui/dialogs/DialogSupport.h"

namespace {

bool IsEnter(const QKeyEvent* event)
{
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

CDlgToolsDerivate::CDlgToolsDerivate(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Text("Dérivée de fonctions"));
    setObjectName("CDlgToolsDerivate");

    formula_ = new FormulaEdit(this);
    formula_->setObjectName("formulaEdit");
    formula_->setMinimumWidth(DialogUnitsX(this, 200));
    variable_ = new FormulaEdit(this);
    variable_->setObjectName("variableEdit");
    auto* formulaLabel = new QLabel(Text("Fonction :"), this);
    formulaLabel->setBuddy(formula_);
    auto* variableLabel = new QLabel(Text("Dériver par rapport à la variable :"), this);
    variableLabel->setBuddy(variable_);

    auto* group = new QGroupBox(Text("Fonction dérivée"), this);
    result_ = new QPlainTextEdit(group);
    result_->setObjectName("resultEdit");
    result_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    result_->setMinimumHeight(DialogUnitsY(this, 40));
    result_->installEventFilter(this);
    // An edit of the dialog: Tab goes on to the next control.
    result_->setTabChangesFocus(true);
    problem_ = new QLabel(group);
    problem_->setObjectName("problemLabel");
    problem_->setTextFormat(Qt::PlainText);
    problem_->setMinimumHeight(problem_->fontMetrics().height());
    QPalette palette = problem_->palette();
    palette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    problem_->setPalette(palette);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(result_);
    groupLayout->addWidget(problem_);

    // No button is the default: Enter closes the tool.
    derive_ = new QPushButton(Text("Dérive !"), this);
    derive_->setObjectName("deriveButton");
    derive_->setAutoDefault(false);
    quit_ = new QPushButton(Text("Quitter"), this);
    quit_->setObjectName("quitButton");
    quit_->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(derive_);
    buttons->addWidget(quit_);
    buttons->addStretch();

    auto* fields = new QGridLayout;
    fields->addWidget(formulaLabel, 0, 0);
    fields->addWidget(formula_, 0, 1);
    fields->addWidget(variableLabel, 1, 0);
    fields->addWidget(variable_, 1, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(group, 1);

    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addSpacing(DialogUnitsX(this, 4));
    top->addLayout(buttons);

    connect(derive_, &QPushButton::clicked, this, [this] { Derive(); });
    connect(quit_, &QPushButton::clicked, this, &QDialog::reject);
    // A mark belongs to the text it was found in.
    connect(formula_, &QLineEdit::textEdited, this, [this] { formula_->SetMark(-1, 0); });
    connect(variable_, &QLineEdit::textEdited, this, [this] { variable_->SetMark(-1, 0); });
    setTabOrder(formula_, variable_);
    setTabOrder(variable_, derive_);
    setTabOrder(derive_, result_);
    setTabOrder(result_, quit_);
    formula_->setFocus();
}

void CDlgToolsDerivate::ShowProblem(const QString& text)
{
    problem_->setText(text);
}

void CDlgToolsDerivate::Derive()
{
    formula_->SetMark(-1, 0);
    variable_->SetMark(-1, 0);
    result_->setPlainText(QString());
    int bad = -1;
    const std::optional<std::string> formula = ToCp1252(formula_->text(), &bad);
    if (!formula) {
        const FormulaMessage message = DescribeUnencodable(formula_->text(), bad);
        formula_->SetMark(message.markFrom, message.markLength);
        ShowProblem(message.text);
        return;
    }
    const std::optional<std::string> variable = ToCp1252(variable_->text(), &bad);
    if (!variable) {
        const FormulaMessage message
            = DescribeUnencodable(variable_->text(), bad, TextKind::VariableName);
        variable_->SetMark(message.markFrom, message.markLength);
        ShowProblem(message.text);
        return;
    }
    std::string derivative;
    ParseErrorMsg error {0, -1, -1};
    if (!DeriveFormula(*formula, *variable, derivative, error)) {
        const FormulaMessage message
            = DescribeEngineError(error, static_cast<int>(formula_->text().size()));
        formula_->SetMark(message.markFrom, message.markLength);
        ShowProblem(message.text);
        return;
    }
    result_->setPlainText(FromCp1252(derivative));
    ShowProblem(QString());
}

void CDlgToolsDerivate::keyPressEvent(QKeyEvent* event)
{
    if (IsEnter(event)) {
        // A focused button takes Enter for itself; anywhere else Enter closes the tool.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
            return;
        }
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CDlgToolsDerivate::eventFilter(QObject* watched, QEvent* event)
{
    // The result box is an edit like the others: Enter closes the tool there too.
    if (watched == result_ && event->type() == QEvent::KeyPress
        && IsEnter(static_cast<QKeyEvent*>(event))) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
