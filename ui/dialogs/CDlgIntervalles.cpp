#include "ui/dialogs/CDlgIntervalles.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Numeric.h"
#include "ui/SharedTexts.h"
#include "ui/dialogs/DialogSupport.h"
#include "view/RangeCheck.h"

namespace {

// The four bounds in the order x min, x max, y min, y max.
struct BoundRow {
    const char* label;
    const char* name;
};

constexpr BoundRow kBoundRows[] = {
    {"Abscisse minimale", "xMinEdit"},
    {"Abscisse maximale", "xMaxEdit"},
    {"Ordonnée minimale", "yMinEdit"},
    {"Ordonnée maximale", "yMaxEdit"},
};

} // namespace

CDlgIntervalles::CDlgIntervalles(const CWorkingArea& area, QWidget* parent)
    : QDialog(parent), area_(area)
{
    setWindowTitle(Text("Zone de travail"));
    setObjectName("CDlgIntervalles");

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(DialogUnitsX(this, 6));
    NumberEdit** edits[] = {&xMin_, &xMax_, &yMin_, &yMax_};
    const double values[] = {area.areaXMin, area.areaXMax, area.areaYMin, area.areaYMax};
    for (int r = 0; r < 4; ++r) {
        auto* label = new QLabel(Text(kBoundRows[r].label), this);
        auto* edit = new NumberEdit(this);
        edit->setObjectName(kBoundRows[r].name);
        edit->setMinimumWidth(DialogUnitsX(this, 70));
        edit->SetValue(values[r]);
        label->setBuddy(edit);
        grid->addWidget(label, r, 0);
        grid->addWidget(edit, r, 1);
        *edits[r] = edit;
    }

    normaliseX_ = new QCheckBox(Text("Normaliser suivant l'axe des abscisses"), this);
    normaliseX_->setObjectName("normaliseXCheck");
    normaliseX_->setChecked(area.normaliseX);
    normaliseY_ = new QCheckBox(Text("Normaliser suivant l'axe des ordonnées"), this);
    normaliseY_->setObjectName("normaliseYCheck");
    normaliseY_->setChecked(area.normaliseY);

    const DialogButtons buttons = MakeDialogButtons(this, "OK", "Cancel", Qt::Horizontal);

    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addSpacing(DialogUnitsY(this, 4));
    top->addWidget(normaliseX_);
    top->addWidget(normaliseY_);
    top->addSpacing(DialogUnitsY(this, 6));
    top->addLayout(buttons.layout);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons.ok, &QPushButton::clicked, this, [this] { Confirm(); });
    xMin_->setFocus();
    xMin_->selectAll();
}

void CDlgIntervalles::Confirm()
{
    const double xMin = xMin_->Value();
    const double xMax = xMax_->Value();
    const double yMin = yMin_->Value();
    const double yMax = yMax_->Value();
    const bool nx = normaliseX_->isChecked();
    const bool ny = normaliseY_->isChecked();
    if (platform::SameNumber(xMin, area_.areaXMin) && platform::SameNumber(xMax, area_.areaXMax)
        && platform::SameNumber(yMin, area_.areaYMin) && platform::SameNumber(yMax, area_.areaYMax)
        && nx == area_.normaliseX && ny == area_.normaliseY) {
        reject();
        return;
    }
    CWorkingArea area;
    // Placeholders: the view rebuilds its range from the bounds before it draws.
    area.viewXMin = -1;
    area.viewXMax = 1;
    area.viewYMin = -1;
    area.viewYMax = 1;
    area.normaliseX = nx;
    area.normaliseY = ny;
    area.areaXMin = xMin;
    area.areaXMax = xMax;
    area.areaYMin = yMin;
    area.areaYMax = yMax;
    // A range the plot cannot be drawn over is refused, and the dialog stays open on its field.
    const AreaFault check = CheckWorkingArea(area);
    if (check.fault != RangeFault::None) {
        const int first = check.yAxis ? 2 : 0;
        const int at = first + (FaultIsInMinimum(check.fault) ? 0 : 1);
        NumberEdit* fields[] = {xMin_, xMax_, yMin_, yMax_};
        RefuseField(this, fields[at],
            RangeFaultText(check.fault, kBoundRows[first].label, kBoundRows[first + 1].label));
        return;
    }
    area_ = area;
    accept();
}
