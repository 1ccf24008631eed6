#pragma once

// "Dérivée de fonctions": a stand-alone calculator of symbolic derivatives. It reads and writes
// nothing of the document. When nothing comes out, a line under the result says why.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class FormulaEdit;

class CDlgToolsDerivate : public QDialog {
    Q_OBJECT
public:
    explicit CDlgToolsDerivate(QWidget* parent = nullptr);

    // "Dérive !": the derivative in lower case, or an empty result and the reason.
    void Derive();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowProblem(const QString& text);

    FormulaEdit* formula_ = nullptr;
    FormulaEdit* variable_ = nullptr;
    QPlainTextEdit* result_ = nullptr;
    QLabel* problem_ = nullptr;
    QPushButton* derive_ = nullptr;
    QPushButton* quit_ = nullptr;
};
