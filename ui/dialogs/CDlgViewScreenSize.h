#pragma once

// "Taille d'écran": resizes the main window so that the plot view gets an exact pixel size, for
// an image export of that size.

#include <QAbstractSpinBox>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>

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
    // view's size is measured now; frame is the window that is moved and resized on OK.
    CDlgViewScreenSize(QWidget* frame, QWidget* view, QWidget* parent = nullptr);

    static constexpr int kMinWidth = 128;
    static constexpr int kMaxWidth = 2048;
    static constexpr int kMinHeight = 96;
    static constexpr int kMaxHeight = 1536;

private:
    // Always ends accepted, after moving the frame to the screen's corner.
    void Confirm();

    QPointer<QWidget> frame_;
    QPointer<QWidget> view_;
    int viewWidth_ = 0;
    int viewHeight_ = 0;
    GroupedNumberSpin* width_ = nullptr;
    GroupedNumberSpin* height_ = nullptr;
};
