#pragma once

// Pieces every dialog shares: numbers shown with "%f" and read with atof rules in the "C" locale,
// sizes in dialog units, a formula field that can mark characters, a spin box whose number is
// changed by its arrows only, the refusal of a field's value.

#include <string>

#include <QLineEdit>
#include <QSpinBox>
#include <QString>

class QBoxLayout;
class QDialog;
class QPushButton;
class QWidget;

// "%f" in the "C" locale.
QString FormatNumber(double value);
// atof rules in the "C" locale: the leading number, 0.0 when there is none.
double ReadNumber(const QString& text);
// atol rules in the "C" locale.
long ReadInteger(const QString& text);

// A number field. A value set by the dialog is shown with six decimals but read back exactly as
// long as its text is not changed, so that opening a dialog and confirming it never rounds a
// record; once edited, the text is read with atof rules.
class NumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit NumberEdit(QWidget* parent = nullptr);

    void SetValue(double value);
    double Value() const;

private:
    QString shownText_;
    double shownValue_ = 0.0;
};

// A line edit that can mark a stretch of its text (a wavy red underline), for the formula fields.
class FormulaEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit FormulaEdit(QWidget* parent = nullptr);

    // length 0 removes the mark.
    void SetMark(int from, int length);
    int MarkFrom() const { return markFrom_; }
    int MarkLength() const { return markLength_; }

private:
    void ApplyMark();

    int markFrom_ = -1;
    int markLength_ = 0;
};

// A spin box whose text cannot be typed: only its arrows, the arrow keys and the wheel move it.
class ArrowSpinBox : public QSpinBox {
    Q_OBJECT
public:
    explicit ArrowSpinBox(QWidget* parent = nullptr);
};

// Refuses what a dialog was asked to store: the message (UTF-8) in a warning box titled as the
// dialog, then the field focused with its text selected, the dialog staying open.
void RefuseField(QDialog* dialog, QLineEdit* field, const std::string& message);

// Dialog units of the widget's font, as the original templates were laid out in: a horizontal
// unit is a quarter of the average character width, a vertical one an eighth of the line height.
int DialogUnitsX(const QWidget* widget, int units);
int DialogUnitsY(const QWidget* widget, int units);

// The OK and cancel buttons of a dialog, OK the default: in a row pushed to the right, or in a
// column pushed to the top, as the dialog's template places them. Cancel rejects the dialog; what
// OK does is the dialog's own.
struct DialogButtons {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QBoxLayout* layout = nullptr;
};
DialogButtons MakeDialogButtons(
    QDialog* dialog, const char* okText, const char* cancelText, Qt::Orientation orientation);
