#pragma once

// "Taille d'écran": the exact pixel size to give the plot view, for an image export of that
// size. The frame resizes itself to it.

#include <QAbstractSpinBox>
#include <QDialog>
#include <QLineEdit>

// An up-down field with digit grouping: the number is shown as "1 024" (a no-break space groups
// the thousands), the arrows move it within a range, and any digits may be typed.
class GroupedNumberSpin final : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit GroupedNumberSpin(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    void SetPosition(int value);
    QString Text() const;
    QLineEdit* Edit() const { return lineEdit(); }

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int minimum_ = 0;
    int maximum_ = 0;
};

// Digits grouped by three with a no-break space.
QString GroupDigits(long value);
// The OK rule for a field: one grouping character removed, then atol rules.
long ReadGroupedNumber(const QString& text);

class CDlgViewScreenSize : public QDialog {
    Q_OBJECT
public:
    // Shows viewSize, the view's size now.
    explicit CDlgViewScreenSize(QSize viewSize, QWidget* parent = nullptr);

    // The size asked for, within the limits, after the dialog ended accepted.
    QSize Size() const { return size_; }

    static constexpr int kMinWidth = 128;
    static constexpr int kMaxWidth = 2048;
    static constexpr int kMinHeight = 96;
    static constexpr int kMaxHeight = 1536;

private:
    // Always ends accepted, even with the size unchanged.
    void Confirm();

    QSize size_;
    GroupedNumberSpin* width_ = nullptr;
    GroupedNumberSpin* height_ = nullptr;
};
