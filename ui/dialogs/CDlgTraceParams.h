#pragma once

// "Paramètres généraux": antialiasing, dots or joined lines, and the sampler's two searches.

#include <QDialog>

#include "model/CCurvanaParams.h"

class QCheckBox;
class QRadioButton;

class CDlgTraceParams : public QDialog {
    Q_OBJECT
public:
    CDlgTraceParams(const CCurvanaParams& params, QWidget* parent = nullptr);

    // The four flags, after the dialog ended accepted.
    const CCurvanaParams& Params() const { return params_; }

private:
    // Ends accepted only when a flag differs from what the dialog opened with.
    void Confirm();

    CCurvanaParams params_;
    QCheckBox* antialias_ = nullptr;
    QRadioButton* dots_ = nullptr;
    QRadioButton* lines_ = nullptr;
    QCheckBox* breakPoints_ = nullptr;
    QCheckBox* discontinuities_ = nullptr;
};
