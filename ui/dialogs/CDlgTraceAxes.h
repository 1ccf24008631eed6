#pragma once

// "Axes": the axis, graduation and grid settings, on three pages under a tab strip of its own.
// Every page applies its fields to the dialog's copy of the settings on OK; the dialog ends
// accepted only when one of them changed something.

#include <QDialog>
#include <QTabBar>

#include "model/CSettingsAxis.h"
#include "model/CWorkingArea.h"
#include "view/ColourPalette.h"

class QCheckBox;
class QRadioButton;
class QStackedWidget;
class ArrowSpinBox;
class CColorBtn;
class NumberEdit;

// Tabs of one width, each filled with a light grey and its text centred, the selected one like
// the others.
class AxesTabBar final : public QTabBar {
    Q_OBJECT
public:
    explicit AxesTabBar(QWidget* parent = nullptr);

    static QColor Fill() { return QColor(226, 226, 226); }
    // Where a tab's text stands: centred on x, its top at y (the dialog's rule for its tabs).
    static QPoint TextAnchor(const QRect& tab);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    void paintEvent(QPaintEvent* event) override;
};

// "Dessin des axes".
class CDlgTraceAxesDessin final : public QWidget {
    Q_OBJECT
public:
    CDlgTraceAxesDessin(
        const CSettingsAxis& settings, ColourPalette* palette, QWidget* parent = nullptr);
    // Writes the page's fields into settings; true when that changed it.
    bool ApplyPage(CSettingsAxis& settings) const;

private:
    QCheckBox* drawAxes_ = nullptr;
    CColorBtn* colour_ = nullptr;
    QCheckBox* unitVectors_ = nullptr;
    QCheckBox* axisEnds_ = nullptr;
};

// "Graduation": each step shows the displayed range divided by its count, and typing one of the
// two rewrites the other.
class CDlgTraceAxesGraduation final : public QWidget {
    Q_OBJECT
public:
    CDlgTraceAxesGraduation(
        const CSettingsAxis& settings, const CWorkingArea& area, QWidget* parent = nullptr);
    bool ApplyPage(CSettingsAxis& settings) const;

private:
    void StepEdited(NumberEdit* step, NumberEdit* count, double range);
    void CountEdited(NumberEdit* count, NumberEdit* step, double range);

    CWorkingArea area_;
    QCheckBox* graduate_ = nullptr;
    QRadioButton* automatic_ = nullptr;
    QRadioButton* manual_ = nullptr;
    NumberEdit* xStep_ = nullptr;
    NumberEdit* xCount_ = nullptr;
    NumberEdit* yStep_ = nullptr;
    NumberEdit* yCount_ = nullptr;
    bool updating_ = false;
};

// "Carroyage".
class CDlgTraceAxesCarroyage final : public QWidget {
    Q_OBJECT
public:
    CDlgTraceAxesCarroyage(
        const CSettingsAxis& settings, ColourPalette* palette, QWidget* parent = nullptr);
    bool ApplyPage(CSettingsAxis& settings) const;

private:
    QCheckBox* drawGrid_ = nullptr;
    CColorBtn* colour_ = nullptr;
    ArrowSpinBox* alpha_ = nullptr;
    int shownAlpha_ = 0; // the transparency shown at opening
    int32_t openedAlpha_ = 0; // and the record's own, kept while the field is not moved
};

class CDlgTraceAxes : public QDialog {
    Q_OBJECT
public:
    // The colour buttons show palette, or a palette of the dialog's own when none is given.
    CDlgTraceAxes(const CSettingsAxis& settings, const CWorkingArea& area,
        ColourPalette* palette = nullptr, QWidget* parent = nullptr);

    // The new settings, after the dialog ended accepted.
    const CSettingsAxis& Settings() const { return settings_; }

    CDlgTraceAxesDessin* Dessin() const { return dessin_; }
    CDlgTraceAxesGraduation* Graduation() const { return graduation_; }
    CDlgTraceAxesCarroyage* Carroyage() const { return carroyage_; }
    AxesTabBar* Tabs() const { return tabs_; }

    void accept() override;

private:
    CSettingsAxis settings_;
    ColourPalette ownPalette_;
    AxesTabBar* tabs_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    CDlgTraceAxesDessin* dessin_ = nullptr;
    CDlgTraceAxesGraduation* graduation_ = nullptr;
    CDlgTraceAxesCarroyage* carroyage_ = nullptr;
};
