#include "ui/dialogs/CDlgViewScreenSize.h"

#include <algorithm>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/SharedTexts.h"
#include "ui/dialogs/DialogSupport.h"

namespace {

constexpr char16_t kGroupSeparator = 0x00A0;

} // namespace

QString GroupDigits(long value)
{
    QString digits = QString::number(value < 0 ? -value : value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QChar(kGroupSeparator));
    return value < 0 ? QString('-') + digits : digits;
}

long ReadGroupedNumber(const QString& text)
{
    QString rest = text;
    const qsizetype at = rest.indexOf(QChar(kGroupSeparator));
    if (at >= 0)
        rest.remove(at, 1);
    return ReadInteger(rest);
}

// ---- GroupedNumberSpin ----

GroupedNumberSpin::GroupedNumberSpin(QWidget* parent) : QAbstractSpinBox(parent)
{
    setAlignment(Qt::AlignRight);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

void GroupedNumberSpin::SetRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
}

void GroupedNumberSpin::SetPosition(int value)
{
    lineEdit()->setText(GroupDigits(value));
}

QString GroupedNumberSpin::Text() const
{
    return lineEdit()->text();
}

void GroupedNumberSpin::stepBy(int steps)
{
    // The arrows start from the number shown, brought into the range.
    const long shown = std::clamp<long>(ReadGroupedNumber(Text()), minimum_, maximum_);
    SetPosition(static_cast<int>(std::clamp<long>(shown + steps, minimum_, maximum_)));
    lineEdit()->selectAll();
}

QValidator::State GroupedNumberSpin::validate(QString& input, int&) const
{
    // Digits only, as typed; the grouping may stand anywhere.
    for (const QChar c : input)
        if ((c < QChar('0') || c > QChar('9')) && c != QChar(kGroupSeparator))
            return QValidator::Invalid;
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled GroupedNumberSpin::stepEnabled() const
{
    const long shown = ReadGroupedNumber(Text());
    StepEnabled enabled = StepNone;
    if (shown < maximum_)
        enabled |= StepUpEnabled;
    if (shown > minimum_)
        enabled |= StepDownEnabled;
    return enabled;
}

// ---- CDlgViewScreenSize ----

CDlgViewScreenSize::CDlgViewScreenSize(QSize viewSize, QWidget* parent)
    : QDialog(parent), size_(viewSize)
{
    setWindowTitle(Text("Taille d'écran"));
    setObjectName("CDlgViewScreenSize");

    width_ = new GroupedNumberSpin(this);
    width_->setObjectName("widthSpin");
    width_->SetRange(256, 2048);
    width_->SetPosition(viewSize.width());
    height_ = new GroupedNumberSpin(this);
    height_->setObjectName("heightSpin");
    height_->SetRange(192, 1536);
    height_->SetPosition(viewSize.height());
    for (GroupedNumberSpin* spin : {width_, height_})
        spin->setMinimumWidth(DialogUnitsX(this, 50));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(DialogUnitsX(this, 6));
    auto* widthLabel = new QLabel(Text("Largeur"), this);
    widthLabel->setBuddy(width_);
    auto* heightLabel = new QLabel(Text("Hauteur"), this);
    heightLabel->setBuddy(height_);
    grid->addWidget(widthLabel, 0, 0);
    grid->addWidget(width_, 0, 1);
    grid->addWidget(heightLabel, 1, 0);
    grid->addWidget(height_, 1, 1);

    const DialogButtons buttons = MakeDialogButtons(this, "OK", "Cancel", Qt::Vertical);

    auto* top = new QHBoxLayout(this);
    top->addLayout(grid);
    top->addSpacing(DialogUnitsX(this, 8));
    top->addLayout(buttons.layout);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons.ok, &QPushButton::clicked, this, [this] { Confirm(); });
    width_->setFocus();
}

void CDlgViewScreenSize::Confirm()
{
    size_ = QSize(
        static_cast<int>(std::clamp<long>(ReadGroupedNumber(width_->Text()), kMinWidth, kMaxWidth)),
        static_cast<int>(
            std::clamp<long>(ReadGroupedNumber(height_->Text()), kMinHeight, kMaxHeight)));
    accept();
}
