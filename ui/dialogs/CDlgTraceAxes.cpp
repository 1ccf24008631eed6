#include "ui/dialogs/CDlgTraceAxes.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyleOptionFocusRect>
#include <QStyleOptionTab>
#include <QVBoxLayout>

#include "platform/Numeric.h"
#include "ui/SharedTexts.h"
#include "ui/dialogs/CColorBtn.h"
#include "ui/dialogs/DialogSupport.h"
#include "view/PlotRenderer.h"
#include "view/StepCount.h"

namespace {

QCheckBox* Check(QWidget* parent, const char* text, const char* name, bool checked)
{
    auto* box = new QCheckBox(Text(text), parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

// "Couleur :" with its button, then the line type that has no control of its own.
QHBoxLayout* ColourRow(QWidget* parent, CColorBtn* button)
{
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(Text(kColourLabel), parent);
    label->setBuddy(button);
    auto* type = new QLabel(Text(kTypeLabel), parent);
    type->setEnabled(false);
    row->addWidget(label);
    row->addWidget(button);
    row->addSpacing(DialogUnitsX(parent, 12));
    row->addWidget(type);
    row->addStretch();
    return row;
}

// The record's equality, except that a count that is the same NaN is no change either.
bool SameSettings(const CSettingsAxis& a, const CSettingsAxis& b)
{
    CSettingsAxis x = a;
    CSettingsAxis y = b;
    x.xGraduationCount = y.xGraduationCount = 0;
    x.yGraduationCount = y.yGraduationCount = 0;
    return x == y && platform::SameNumber(a.xGraduationCount, b.xGraduationCount)
        && platform::SameNumber(a.yGraduationCount, b.yGraduationCount);
}

} // namespace

// ---- AxesTabBar ----

AxesTabBar::AxesTabBar(QWidget* parent) : QTabBar(parent)
{
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(false);
}

QPoint AxesTabBar::TextAnchor(const QRect& tab)
{
    const int left = tab.x();
    const int right = tab.x() + tab.width();
    const int top = tab.y();
    const int bottom = tab.y() + tab.height();
    return {(left + right) / 2, ((top + bottom) / 2 + 2 * top) / 3};
}

QSize AxesTabBar::tabSizeHint(int) const
{
    // Fixed-width tabs: as wide as the widest text.
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(tabText(i)));
    return {widest + DialogUnitsX(this, 16), metrics.height() + DialogUnitsY(this, 6)};
}

void AxesTabBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    const QFontMetrics metrics(font());
    for (int i = 0; i < count(); ++i) {
        // The strip draws each tab's outline, as a tab control does; the item inside is ours.
        QStyleOptionTab shape;
        initStyleOption(&shape, i);
        shape.text.clear();
        style()->drawControl(QStyle::CE_TabBarTabShape, &shape, &painter, this);
        const QRect tab = tabRect(i);
        const QRect item = tab.adjusted(2, 2, -2, -1);
        painter.fillRect(item, Fill());
        const QString text = tabText(i).left(99);
        const QPoint anchor = TextAnchor(tab);
        const int textWidth = metrics.horizontalAdvance(text);
        painter.setPen(QColor(0, 0, 0));
        painter.drawText(QPoint(anchor.x() - textWidth / 2, anchor.y() + metrics.ascent()), text);
        // A keyboard user needs to see which tab the arrows move.
        if (i == currentIndex() && hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = item.adjusted(2, 1, -2, -1);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
}

// ---- CDlgTraceAxesDessin ----

CDlgTraceAxesDessin::CDlgTraceAxesDessin(
    const CSettingsAxis& settings, ColourPalette* palette, QWidget* parent)
    : QWidget(parent)
{
    setObjectName("pageDessin");
    drawAxes_ = Check(this, "Dessiner les axes", "drawAxesCheck", settings.drawAxes);
    colour_ = new CColorBtn(this, palette);
    colour_->setObjectName("axesColourButton");
    colour_->SetColour(settings.axesColour);
    unitVectors_ = Check(
        this, "Dessiner les vecteurs unitaires", "unitVectorsCheck", settings.drawUnitVectors);
    axisEnds_
        = Check(this, "Dessiner les extrémités des axes", "axisEndsCheck", settings.drawAxisEnds);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(drawAxes_);
    layout->addLayout(ColourRow(this, colour_));
    layout->addWidget(unitVectors_);
    layout->addWidget(axisEnds_);
    layout->addStretch();
}

bool CDlgTraceAxesDessin::ApplyPage(CSettingsAxis& settings) const
{
    CSettingsAxis next = settings;
    next.drawAxes = drawAxes_->isChecked();
    next.drawUnitVectors = unitVectors_->isChecked();
    next.axesColour = colour_->Colour();
    next.drawAxisEnds = axisEnds_->isChecked();
    if (SameSettings(next, settings))
        return false;
    settings = next;
    return true;
}

// ---- CDlgTraceAxesGraduation ----

CDlgTraceAxesGraduation::CDlgTraceAxesGraduation(
    const CSettingsAxis& settings, const CWorkingArea& area, QWidget* parent)
    : QWidget(parent), area_(area)
{
    setObjectName("pageGraduation");
    graduate_ = Check(this, "Graduer les axes", "graduateCheck", settings.graduate);

    auto* mode = new QGroupBox(Text("Mode"), this);
    automatic_ = new QRadioButton(Text("Automatique"), mode);
    automatic_->setObjectName("automaticRadio");
    manual_ = new QRadioButton(Text("Manuel"), mode);
    manual_->setObjectName("manualRadio");
    auto* modeGroup = new QButtonGroup(this);
    modeGroup->addButton(automatic_);
    modeGroup->addButton(manual_);
    auto* modeLayout = new QHBoxLayout(mode);
    modeLayout->addWidget(automatic_);
    modeLayout->addWidget(manual_);
    modeLayout->addStretch();

    auto axisGroup = [this](const char* title, NumberEdit*& step, NumberEdit*& count,
                         const char* stepName, const char* countName) {
        auto* group = new QGroupBox(Text(title), this);
        auto* grid = new QGridLayout(group);
        step = new NumberEdit(group);
        step->setObjectName(stepName);
        count = new NumberEdit(group);
        count->setObjectName(countName);
        for (NumberEdit* e : {step, count})
            e->setMinimumWidth(DialogUnitsX(this, 50));
        auto* stepLabel = new QLabel(Text("Pas"), group);
        stepLabel->setBuddy(step);
        auto* countLabel = new QLabel(Text("Nb itération"), group);
        countLabel->setBuddy(count);
        grid->addWidget(stepLabel, 0, 0);
        grid->addWidget(step, 0, 1);
        grid->addWidget(countLabel, 1, 0);
        grid->addWidget(count, 1, 1);
        return group;
    };
    QGroupBox* abscissa = axisGroup("Abscisse", xStep_, xCount_, "xStepEdit", "xCountEdit");
    QGroupBox* ordinate = axisGroup("Ordonnée", yStep_, yCount_, "yStepEdit", "yCountEdit");

    auto* axes = new QHBoxLayout;
    axes->addWidget(abscissa);
    axes->addWidget(ordinate);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(graduate_);
    layout->addWidget(mode);
    layout->addLayout(axes);
    layout->addStretch();

    const double xr = area_.viewXMax - area_.viewXMin;
    const double yr = area_.viewYMax - area_.viewYMin;
    // The counts come from the record; each fills its step as typing would.
    xCount_->SetValue(settings.xGraduationCount);
    CountEdited(xCount_, xStep_, xr);
    yCount_->SetValue(settings.yGraduationCount);
    CountEdited(yCount_, yStep_, yr);
    (settings.autoGraduation ? automatic_ : manual_)->setChecked(true);

    connect(xStep_, &QLineEdit::textEdited, this, [this, xr] { StepEdited(xStep_, xCount_, xr); });
    connect(
        xCount_, &QLineEdit::textEdited, this, [this, xr] { CountEdited(xCount_, xStep_, xr); });
    connect(yStep_, &QLineEdit::textEdited, this, [this, yr] { StepEdited(yStep_, yCount_, yr); });
    connect(
        yCount_, &QLineEdit::textEdited, this, [this, yr] { CountEdited(yCount_, yStep_, yr); });
}

void CDlgTraceAxesGraduation::StepEdited(NumberEdit* step, NumberEdit* count, double range)
{
    if (updating_)
        return;
    updating_ = true;
    count->setText(FormatNumber(GraduationCount(range, ReadNumber(step->text()))));
    updating_ = false;
}

void CDlgTraceAxesGraduation::CountEdited(NumberEdit* count, NumberEdit* step, double range)
{
    if (updating_)
        return;
    updating_ = true;
    step->setText(FormatNumber(GraduationStep(range, count->Value())));
    updating_ = false;
}

bool CDlgTraceAxesGraduation::ApplyPage(CSettingsAxis& settings) const
{
    CSettingsAxis next = settings;
    next.graduate = graduate_->isChecked();
    next.xGraduationCount = xCount_->Value();
    next.yGraduationCount = yCount_->Value();
    next.autoGraduation = automatic_->isChecked();
    if (SameSettings(next, settings))
        return false;
    settings = next;
    return true;
}

// ---- CDlgTraceAxesCarroyage ----

CDlgTraceAxesCarroyage::CDlgTraceAxesCarroyage(
    const CSettingsAxis& settings, ColourPalette* palette, QWidget* parent)
    : QWidget(parent), openedAlpha_(settings.gridAlpha)
{
    setObjectName("pageCarroyage");
    drawGrid_ = Check(this, "Dessiner le carroyage", "drawGridCheck", settings.drawGrid);
    colour_ = new CColorBtn(this, palette);
    colour_->setObjectName("gridColourButton");
    colour_->SetColour(settings.gridColour);
    alpha_ = new ArrowSpinBox(this);
    alpha_->setObjectName("alphaSpin");
    alpha_->setRange(0, 255);
    // A stored transparency outside 0 to 255 shows as the grid is drawn with it.
    shownAlpha_ = DrawnGridAlpha(settings.gridAlpha);
    alpha_->setValue(shownAlpha_);
    alpha_->setMinimumWidth(DialogUnitsX(this, 36));

    auto* alphaRow = new QHBoxLayout;
    auto* alphaLabel = new QLabel(Text("Transparence"), this);
    alphaLabel->setBuddy(alpha_);
    alphaRow->addWidget(alphaLabel);
    alphaRow->addWidget(alpha_);
    alphaRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(drawGrid_);
    layout->addLayout(ColourRow(this, colour_));
    layout->addLayout(alphaRow);
    layout->addStretch();
}

bool CDlgTraceAxesCarroyage::ApplyPage(CSettingsAxis& settings) const
{
    CSettingsAxis next = settings;
    next.drawGrid = drawGrid_->isChecked();
    next.gridColour = colour_->Colour();
    // A record's transparency outside 0 to 255 is kept until the user moves the field.
    next.gridAlpha = alpha_->value() == shownAlpha_ ? openedAlpha_ : alpha_->value();
    if (SameSettings(next, settings))
        return false;
    settings = next;
    return true;
}

// ---- CDlgTraceAxes ----

CDlgTraceAxes::CDlgTraceAxes(const CSettingsAxis& settings, const CWorkingArea& area,
    ColourPalette* palette, QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    setWindowTitle(Text("Axes"));
    setObjectName("CDlgTraceAxes");

    tabs_ = new AxesTabBar(this);
    tabs_->setObjectName("axesTabs");
    tabs_->addTab(Text("Dessin des axes"));
    tabs_->addTab(Text("Graduation"));
    tabs_->addTab(Text("Carroyage"));

    if (palette == nullptr)
        palette = &ownPalette_;
    dessin_ = new CDlgTraceAxesDessin(settings_, palette, this);
    graduation_ = new CDlgTraceAxesGraduation(settings_, area, this);
    carroyage_ = new CDlgTraceAxesCarroyage(settings_, palette, this);
    pages_ = new QStackedWidget(this);
    pages_->setFrameShape(QFrame::StyledPanel);
    pages_->addWidget(dessin_);
    pages_->addWidget(graduation_);
    pages_->addWidget(carroyage_);
    pages_->setCurrentIndex(0);
    connect(tabs_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);

    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(next, &QShortcut::activated, this,
        [this] { tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % tabs_->count()); });
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    connect(previous, &QShortcut::activated, this, [this] {
        tabs_->setCurrentIndex((tabs_->currentIndex() + tabs_->count() - 1) % tabs_->count());
    });

    const DialogButtons buttons = MakeDialogButtons(this, "&OK", "&Annuler", Qt::Horizontal);

    auto* top = new QVBoxLayout(this);
    top->setSpacing(0);
    top->addWidget(tabs_);
    top->addWidget(pages_, 1);
    top->addSpacing(DialogUnitsY(this, 6));
    top->addLayout(buttons.layout);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons.ok, &QPushButton::clicked, this, &CDlgTraceAxes::accept);
}

void CDlgTraceAxes::accept()
{
    // Every page applies, even after one has changed something.
    bool changed = dessin_->ApplyPage(settings_);
    changed = graduation_->ApplyPage(settings_) || changed;
    changed = carroyage_->ApplyPage(settings_) || changed;
    if (changed)
        QDialog::accept();
    else
        reject();
}
