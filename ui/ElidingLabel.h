#pragma once

// A label that never asks for more width than it is given, as the status bar's first pane: a text
// longer than the pane (a traced point with its tangent, in a narrow window) ends in "…"; the
// whole text stays the label's text, its tooltip and what a screen reader reads.

#include <QLabel>

class ElidingLabel final : public QLabel {
public:
    explicit ElidingLabel(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
