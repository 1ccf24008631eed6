#pragma once

// "A propos de Curvana": the program's icon, its version and one line about it.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
