#pragma once

// "Fonctions": the editor of the document's curve list. It works on a copy of the list; the
// frame takes Functions() back only when the dialog ends accepted.

#include <vector>

#include <QDialog>

#include "model/CFunction.h"
#include "ui/dialogs/DialogSupport.h"
#include "view/ColourPalette.h"

class QComboBox;
class QLabel;
class QPushButton;
class CColorBtn;

// The curve index: its arrows ask the dialog, which stores the shown curve first and then moves.
class CurveIndexSpin final : public ArrowSpinBox {
    Q_OBJECT
public:
    explicit CurveIndexSpin(QWidget* parent = nullptr) : ArrowSpinBox(parent) { }
    void stepBy(int steps) override { emit StepRequested(steps); }

signals:
    void StepRequested(int delta);
};

class CDlgFonctions : public QDialog {
    Q_OBJECT
public:
    // The colour button shows palette, or a palette of the dialog's own when none is given.
    CDlgFonctions(const std::vector<CFunction>& curves, ColourPalette* palette = nullptr,
        QWidget* parent = nullptr);

    // The new curve list, after the dialog ended accepted.
    const std::vector<CFunction>& Functions() const { return functions_; }

    // Shows, hides and relabels the fields for a kind.
    void ApplyType(CurveType type);
    // Loads the curve at index, or a fresh one past the end of the list.
    void ShowCurve(int index);
    // Writes the fields into the list at the spin position. Refuses (with a message, returning
    // false) a formula holding a character that code page 1252 cannot hold.
    bool StoreCurve();

    void accept() override;

private:
    void Build();
    void TypeChosen();
    void StepCurve(int delta);
    void NewCurve();
    void DeleteCurve();
    void IterationsEdited();
    void StepEdited();
    void UpdateFeedback();
    CurveType ShownType() const;
    bool AskDelete();

    std::vector<CFunction> functions_;
    ColourPalette ownPalette_;
    ColourPalette* palette_;
    CurveType shownType_ = CurveCartesian; // the shown curve's kind, kept when the combo has none

    CurveIndexSpin* spin_ = nullptr;
    QPushButton* newButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QComboBox* type_ = nullptr;
    CColorBtn* colour_ = nullptr;
    QLabel* caption1_ = nullptr;
    FormulaEdit* formula1_ = nullptr;
    QLabel* feedback1_ = nullptr;
    QLabel* caption2_ = nullptr;
    FormulaEdit* formula2_ = nullptr;
    QLabel* feedback2_ = nullptr;
    QLabel* paramLabel_ = nullptr;
    NumberEdit* paramMin_ = nullptr;
    QLabel* paramSeparator_ = nullptr;
    NumberEdit* paramMax_ = nullptr;
    QLabel* stepLabel_ = nullptr;
    NumberEdit* step_ = nullptr;
    QLabel* iterationsLabel_ = nullptr;
    NumberEdit* iterations_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool updating_ = false; // a coupling handler is writing into the other field
};
