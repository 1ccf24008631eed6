#pragma once

// "Zone de travail": the four requested bounds of the plot and the two normalisation flags.

#include <QDialog>

#include "model/CWorkingArea.h"

class QCheckBox;
class QPushButton;
class NumberEdit;

class CDlgIntervalles : public QDialog {
    Q_OBJECT
public:
    CDlgIntervalles(const CWorkingArea& area, QWidget* parent = nullptr);

    // The record to copy back whole, after the dialog ended accepted.
    const CWorkingArea& Area() const { return area_; }

private:
    // Ends accepted only when a bound or a flag differs from what the dialog opened with.
    void Confirm();

    CWorkingArea area_;
    NumberEdit* xMin_ = nullptr;
    NumberEdit* xMax_ = nullptr;
    NumberEdit* yMin_ = nullptr;
    NumberEdit* yMax_ = nullptr;
    QCheckBox* normaliseX_ = nullptr;
    QCheckBox* normaliseY_ = nullptr;
};
