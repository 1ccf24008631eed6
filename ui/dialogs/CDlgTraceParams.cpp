#include "ui/dialogs/CDlgTraceParams.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/SharedTexts.h"
#include "ui/dialogs/DialogSupport.h"

namespace {

QGroupBox* Group(QWidget* parent, const char* title, std::initializer_list<QWidget*> widgets)
{
    auto* group = new QGroupBox(Text(title), parent);
    auto* layout = new QVBoxLayout(group);
    for (QWidget* w : widgets)
        layout->addWidget(w);
    return group;
}

} // namespace

CDlgTraceParams::CDlgTraceParams(const CCurvanaParams& params, QWidget* parent)
    : QDialog(parent), params_(params)
{
    setWindowTitle(Text("Paramètres généraux"));
    setObjectName("CDlgTraceParams");

    antialias_ = new QCheckBox(Text("Amélioration du tracé par anti-crénelage"), this);
    antialias_->setObjectName("antialiasCheck");
    dots_ = new QRadioButton(Text("Par points"), this);
    dots_->setObjectName("dotsRadio");
    lines_ = new QRadioButton(Text("Par lignes jointives"), this);
    lines_->setObjectName("linesRadio");
    auto* mode = new QButtonGroup(this);
    mode->addButton(dots_);
    mode->addButton(lines_);
    breakPoints_ = new QCheckBox(Text("Recherche des points de rupture dans le tracé"), this);
    breakPoints_->setObjectName("breakPointsCheck");
    discontinuities_ = new QCheckBox(Text("Recherche des discontinuités"), this);
    discontinuities_->setObjectName("discontinuitiesCheck");

    antialias_->setChecked(params.antialias);
    (params.joinedLines ? lines_ : dots_)->setChecked(true);
    breakPoints_->setChecked(params.searchBreakPoints);
    discontinuities_->setChecked(params.searchDiscontinuities);

    const DialogButtons buttons = MakeDialogButtons(this, "OK", "Cancel", Qt::Horizontal);

    auto* top = new QVBoxLayout(this);
    top->addWidget(Group(this, "Options générales", {antialias_}));
    top->addWidget(Group(this, "Mode de tracé des fonctions", {dots_, lines_}));
    top->addWidget(Group(
        this, "Modes d'amélioration du tracé des fonctions", {breakPoints_, discontinuities_}));
    top->addSpacing(DialogUnitsY(this, 4));
    top->addLayout(buttons.layout);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons.ok, &QPushButton::clicked, this, [this] { Confirm(); });
}

void CDlgTraceParams::Confirm()
{
    CCurvanaParams params = params_;
    params.antialias = antialias_->isChecked();
    params.joinedLines = lines_->isChecked();
    params.searchBreakPoints = breakPoints_->isChecked();
    params.searchDiscontinuities = discontinuities_->isChecked();
    if (params == params_) {
        reject();
        return;
    }
    params_ = params;
    accept();
}
