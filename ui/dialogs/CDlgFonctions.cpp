#include "ui/dialogs/CDlgFonctions.h"

#include <vector>

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "model/CurveKind.h"
#include "ui/Cp1252Text.h"
#include "ui/FormulaMessages.h"
#include "ui/SharedTexts.h"
#include "ui/dialogs/CColorBtn.h"
#include "view/RangeCheck.h"
#include "view/StepCount.h"

namespace {

// The caption of a kind's formula field: "Fonction y(x)".
QString FormulaCaption(const char* formulaName)
{
    return Text("Fonction ") + Text(formulaName);
}

// The captions before a kind has given its own.
constexpr char kInitialCaption1[] = "Fonction x(theta) :";
constexpr char kInitialCaption2[] = "Fonction y(theta) :";
constexpr char kParamLabel[] = "Paramètre :";
// The two ends of the parameter's range, as a refusal names them.
constexpr char kParamMinName[] = "Paramètre minimal";
constexpr char kParamMaxName[] = "Paramètre maximal";

// Hidden fields keep their room, so that the dialog does not jump when the kind changes.
void KeepRoomWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// The line under a formula. The whole message is its text; what does not fit the width the
// formula gives it is elided, so that no message widens the dialog.
class FeedbackLine final : public QLabel {
public:
    using QLabel::QLabel;

    QSize sizeHint() const override { return {0, QLabel::sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
            fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }
};

QLabel* FeedbackLabel(QWidget* parent, const char* name)
{
    auto* label = new FeedbackLine(parent);
    label->setObjectName(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    label->setPalette(palette);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumHeight(label->fontMetrics().height());
    KeepRoomWhenHidden(label);
    return label;
}

} // namespace

CDlgFonctions::CDlgFonctions(
    const std::vector<CFunction>& curves, ColourPalette* palette, QWidget* parent)
    : QDialog(parent), functions_(curves), palette_(palette != nullptr ? palette : &ownPalette_)
{
    Build();
    for (const CurveKind& kind : kCurveKinds)
        type_->addItem(Text(kind.editorName), static_cast<int>(kind.type));
    type_->setCurrentIndex(0);
    spin_->setRange(0, std::max(static_cast<int>(functions_.size()) - 1, 0));
    spin_->setValue(0);
    connect(type_, &QComboBox::currentIndexChanged, this, [this] { TypeChosen(); });
    ShowCurve(0);
    formula1_->setFocus();
}

void CDlgFonctions::Build()
{
    setWindowTitle(Text("Fonctions"));
    setObjectName("CDlgFonctions");

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(DialogUnitsX(this, 4));
    grid->setVerticalSpacing(DialogUnitsY(this, 2));

    auto* indexLabel = new QLabel(Text("Fonction N°"), this);
    spin_ = new CurveIndexSpin(this);
    spin_->setObjectName("indexSpin");
    spin_->setMinimumWidth(DialogUnitsX(this, 36));
    indexLabel->setBuddy(spin_);
    newButton_ = new QPushButton(Text("Nouvelle fonction"), this);
    newButton_->setObjectName("newButton");
    deleteButton_ = new QPushButton(Text("Supprimer fonction"), this);
    deleteButton_->setObjectName("deleteButton");
    auto* curveButtons = new QHBoxLayout;
    curveButtons->setSpacing(DialogUnitsX(this, 4));
    curveButtons->addWidget(newButton_);
    curveButtons->addWidget(deleteButton_);
    curveButtons->addStretch();
    grid->addWidget(indexLabel, 0, 0);
    grid->addWidget(spin_, 0, 1);
    grid->addLayout(curveButtons, 0, 2, 1, 2);

    auto* typeLabel = new QLabel(Text(kTypeLabel), this);
    type_ = new QComboBox(this);
    type_->setObjectName("typeCombo");
    typeLabel->setBuddy(type_);
    auto* colourLabel = new QLabel(Text(kColourLabel), this);
    colour_ = new CColorBtn(this, palette_);
    colour_->setObjectName("colourButton");
    colourLabel->setBuddy(colour_);
    grid->addWidget(typeLabel, 1, 0);
    grid->addWidget(type_, 1, 1);
    grid->addWidget(colourLabel, 1, 2, Qt::AlignRight);
    grid->addWidget(colour_, 1, 3, Qt::AlignLeft);

    caption1_ = new QLabel(Text(kInitialCaption1), this);
    caption1_->setObjectName("formula1Caption");
    formula1_ = new FormulaEdit(this);
    formula1_->setObjectName("formula1Edit");
    formula1_->setMinimumWidth(DialogUnitsX(this, 230));
    caption1_->setBuddy(formula1_);
    feedback1_ = FeedbackLabel(this, "formula1Feedback");
    grid->addWidget(caption1_, 2, 0);
    grid->addWidget(formula1_, 2, 1, 1, 3);
    grid->addWidget(feedback1_, 3, 1, 1, 3);

    caption2_ = new QLabel(Text(kInitialCaption2), this);
    caption2_->setObjectName("formula2Caption");
    formula2_ = new FormulaEdit(this);
    formula2_->setObjectName("formula2Edit");
    caption2_->setBuddy(formula2_);
    feedback2_ = FeedbackLabel(this, "formula2Feedback");
    grid->addWidget(caption2_, 4, 0);
    grid->addWidget(formula2_, 4, 1, 1, 3);
    grid->addWidget(feedback2_, 5, 1, 1, 3);

    paramLabel_ = new QLabel(Text(kParamLabel), this);
    paramLabel_->setObjectName("paramLabel");
    paramMin_ = new NumberEdit(this);
    paramMin_->setObjectName("paramMinEdit");
    paramLabel_->setBuddy(paramMin_);
    paramSeparator_ = new QLabel(Text("< paramètre <"), this);
    paramSeparator_->setObjectName("paramSeparator");
    paramSeparator_->setAlignment(Qt::AlignCenter);
    paramMax_ = new NumberEdit(this);
    paramMax_->setObjectName("paramMaxEdit");
    grid->addWidget(paramLabel_, 6, 0);
    grid->addWidget(paramMin_, 6, 1);
    grid->addWidget(paramSeparator_, 6, 2);
    grid->addWidget(paramMax_, 6, 3);

    stepLabel_ = new QLabel(Text("Pas :"), this);
    stepLabel_->setObjectName("stepLabel");
    step_ = new NumberEdit(this);
    step_->setObjectName("stepEdit");
    stepLabel_->setBuddy(step_);
    iterationsLabel_ = new QLabel(Text("Nombre d'itérations :"), this);
    iterationsLabel_->setObjectName("iterationsLabel");
    iterations_ = new NumberEdit(this);
    iterations_->setObjectName("iterationsEdit");
    iterationsLabel_->setBuddy(iterations_);
    grid->addWidget(stepLabel_, 7, 0);
    grid->addWidget(step_, 7, 1);
    grid->addWidget(iterationsLabel_, 7, 2, Qt::AlignRight);
    grid->addWidget(iterations_, 7, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    // The first column fits every caption a kind can give, so that nothing moves between kinds.
    std::vector<QString> captions
        = {Text(kInitialCaption1), Text(kInitialCaption2), Text(kParamLabel)};
    for (const CurveKind& kind : kCurveKinds)
        for (int i = 0; i < kind.formulaCount; ++i)
            captions.push_back(FormulaCaption(kind.formulaNames[i]));
    int widest = 0;
    for (const QString& caption : captions)
        widest = std::max(widest, caption1_->fontMetrics().horizontalAdvance(caption));
    grid->setColumnMinimumWidth(0, widest);

    for (QWidget* w : std::initializer_list<QWidget*> {caption2_, formula2_, paramLabel_, paramMin_,
             paramSeparator_, paramMax_, stepLabel_, step_, iterationsLabel_, iterations_})
        KeepRoomWhenHidden(w);

    const DialogButtons buttons = MakeDialogButtons(this, "OK", "Annuler", Qt::Vertical);
    ok_ = buttons.ok;
    cancel_ = buttons.cancel;

    auto* top = new QHBoxLayout(this);
    top->addLayout(grid, 1);
    top->addSpacing(DialogUnitsX(this, 4));
    top->addLayout(buttons.layout);

    connect(spin_, &CurveIndexSpin::StepRequested, this, [this](int delta) { StepCurve(delta); });
    connect(newButton_, &QPushButton::clicked, this, [this] { NewCurve(); });
    connect(deleteButton_, &QPushButton::clicked, this, [this] { DeleteCurve(); });
    connect(iterations_, &QLineEdit::textEdited, this, [this] { IterationsEdited(); });
    connect(step_, &QLineEdit::textEdited, this, [this] { StepEdited(); });
    connect(formula1_, &QLineEdit::textChanged, this, [this] { UpdateFeedback(); });
    connect(formula2_, &QLineEdit::textChanged, this, [this] { UpdateFeedback(); });
    connect(ok_, &QPushButton::clicked, this, &CDlgFonctions::accept);
}

void CDlgFonctions::ApplyType(CurveType type)
{
    const CurveKind* kind = FindCurveKind(type);
    const bool second = kind != nullptr && kind->formulaCount == 2;
    caption2_->setVisible(second);
    formula2_->setVisible(second);
    feedback2_->setVisible(second);
    // A kind the editor does not know shows the parameter fields, as the kinds that have one.
    const bool parameter = kind == nullptr || RunsOverParameter(*kind);
    for (QWidget* w : std::initializer_list<QWidget*> {paramMin_, paramMax_, paramSeparator_,
             paramLabel_, step_, stepLabel_, iterations_, iterationsLabel_})
        w->setVisible(parameter);

    // Any other kind (none) changes nothing more.
    if (kind != nullptr) {
        const QSignalBlocker blocker(type_);
        caption1_->setText(FormulaCaption(kind->formulaNames[0]));
        if (second)
            caption2_->setText(FormulaCaption(kind->formulaNames[1]));
        type_->setCurrentIndex(static_cast<int>(kind - kCurveKinds));
    }
    UpdateFeedback();
}

void CDlgFonctions::TypeChosen()
{
    const int index = type_->currentIndex();
    ApplyType(index < 0 ? CurveNone : static_cast<CurveType>(type_->itemData(index).toInt()));
}

CurveType CDlgFonctions::ShownType() const
{
    const int index = type_->currentIndex();
    return index < 0 ? shownType_ : static_cast<CurveType>(type_->itemData(index).toInt());
}

void CDlgFonctions::ShowCurve(int index)
{
    CFunction curve;
    if (index >= 0 && static_cast<size_t>(index) < functions_.size())
        curve = functions_[static_cast<size_t>(index)];
    else
        curve.Set(CurveCartesian, "", "", 0.0, 1.0, 0, 1.0);

    shownType_ = curve.Type();
    {
        // A kind the combo does not list leaves it without a selection, and the kind is kept.
        const QSignalBlocker blocker(type_);
        if (FindCurveKind(curve.Type()) == nullptr)
            type_->setCurrentIndex(-1);
    }
    ApplyType(curve.Type());
    formula1_->setText(FromCp1252(curve.Formula1()));
    formula2_->setText(FromCp1252(curve.Formula2()));
    paramMin_->SetValue(curve.paramMin);
    paramMax_->SetValue(curve.paramMax);
    colour_->SetColour(curve.colour);
    colour_->update();
    // Written without the coupling: the count shown is the curve's own.
    iterations_->SetValue(curve.iterations);
    step_->SetValue(CurveStep(curve.paramMin, curve.paramMax, curve.iterations));
    UpdateFeedback();
}

bool CDlgFonctions::StoreCurve()
{
    const int index = spin_->value();
    FormulaEdit* fields[] = {formula1_, formula2_};
    QLabel* captions[] = {caption1_, caption2_};
    std::string texts[2];
    for (int i = 0; i < 2; ++i) {
        int bad = -1;
        const std::optional<std::string> bytes = ToCp1252(fields[i]->text(), &bad);
        if (!bytes) {
            // A second formula hidden by the kind is still stored: it is shown, with the caption
            // of the kind that uses it, so that the user can mend it.
            const bool hidden = fields[i]->isHidden();
            if (hidden) {
                for (const CurveKind& kind : kCurveKinds)
                    if (kind.formulaCount > i)
                        captions[i]->setText(FormulaCaption(kind.formulaNames[i]));
                captions[i]->show();
                fields[i]->show();
            }
            QString caption = captions[i]->text();
            if (caption.endsWith(QStringLiteral(" :")))
                caption.chop(2);
            const QString character = CharacterAt(fields[i]->text(), bad);
            QString message = Text("La formule «\u00A0%1\u00A0» de la fonction N° %2 contient le "
                                   "caractère «\u00A0%3\u00A0», qui ne peut pas figurer dans une "
                                   "formule.\nRemplacez-le avant de continuer.")
                                  .arg(caption)
                                  .arg(index)
                                  .arg(character);
            if (hidden)
                message += Text("\nCette formule ne sert pas à ce type de courbe mais elle est "
                                "enregistrée avec elle\u00A0: elle est affichée pour être "
                                "corrigée.");
            fields[i]->setFocus();
            fields[i]->setSelection(bad, static_cast<int>(character.size()));
            QMessageBox::warning(this, windowTitle(), message);
            fields[i]->setFocus();
            fields[i]->setSelection(bad, static_cast<int>(character.size()));
            return false;
        }
        texts[i] = *bytes;
    }
    // The range of a kind that walks it must be one the curve can be drawn over.
    const CurveType kind = ShownType();
    const CurveKind* described = FindCurveKind(kind);
    if (described != nullptr && RunsOverParameter(*described)) {
        const RangeFault fault = CheckRange(paramMin_->Value(), paramMax_->Value());
        if (fault != RangeFault::None) {
            RefuseField(this, FaultIsInMinimum(fault) ? paramMin_ : paramMax_,
                RangeFaultText(fault, kParamMinName, kParamMaxName));
            return false;
        }
    }
    CFunction curve;
    curve.Set(kind, texts[0], texts[1], paramMin_->Value(), paramMax_->Value(), colour_->Colour(),
        iterations_->Value());
    if (static_cast<size_t>(index) < functions_.size())
        functions_[static_cast<size_t>(index)] = curve;
    else
        functions_.push_back(curve);
    shownType_ = curve.Type();
    return true;
}

void CDlgFonctions::StepCurve(int delta)
{
    if (!StoreCurve())
        return;
    const int current = spin_->value();
    int next = current + delta;
    if (next < spin_->minimum() || next > spin_->maximum())
        next = current;
    ShowCurve(next);
    spin_->setValue(next);
}

void CDlgFonctions::NewCurve()
{
    if (!StoreCurve())
        return;
    const int n = static_cast<int>(functions_.size());
    spin_->setRange(0, n);
    spin_->setValue(n);
    ShowCurve(n);
    formula1_->setFocus();
}

bool CDlgFonctions::AskDelete()
{
    QMessageBox box(QMessageBox::NoIcon, Text("Curvana"), Text("Supprimer cette fonction ?"),
        QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton(Text("Oui"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(Text("Non"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void CDlgFonctions::DeleteCurve()
{
    if (functions_.empty())
        return;
    if (!AskDelete())
        return;
    int p = spin_->value();
    // A fresh curve past the end is not in the list: it is dropped, and the last curve shown.
    if (static_cast<size_t>(p) < functions_.size())
        functions_.erase(functions_.begin() + p);
    const int n = static_cast<int>(functions_.size());
    spin_->setRange(0, std::max(n - 1, 0));
    if (p >= n && n > 0)
        p = n - 1;
    if (n == 0)
        p = 0;
    spin_->setValue(p);
    ShowCurve(p);
}

void CDlgFonctions::IterationsEdited()
{
    if (updating_)
        return;
    updating_ = true;
    step_->setText(FormatNumber(StepForTypedIterations(
        paramMin_->Value(), paramMax_->Value(), ReadNumber(iterations_->text()))));
    updating_ = false;
}

void CDlgFonctions::StepEdited()
{
    if (updating_)
        return;
    updating_ = true;
    iterations_->setText(FormatNumber(
        IterationsForTypedStep(paramMin_->Value(), paramMax_->Value(), ReadNumber(step_->text()))));
    updating_ = false;
}

void CDlgFonctions::UpdateFeedback()
{
    if (formula1_ == nullptr || formula2_ == nullptr)
        return;
    const CurveType kind = ShownType();
    struct Field {
        FormulaEdit* edit;
        QLabel* feedback;
    };
    for (const Field& field : {Field {formula1_, feedback1_}, Field {formula2_, feedback2_}}) {
        const FormulaMessage message = CheckFormulaText(field.edit->text(), kind);
        field.feedback->setText(message.text);
        field.feedback->setToolTip(message.text); // the whole of a message cut short
        field.edit->SetMark(message.markFrom, message.markLength);
    }
}

void CDlgFonctions::accept()
{
    if (!StoreCurve())
        return;
    QDialog::accept();
}
