#include "ui/dialogs/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Version.h"
#include "ui/Resources.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("A propos de Curvana"));
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon(QStringLiteral("curvana")).pixmap(QSize(48, 48)));
    icon->setAlignment(Qt::AlignTop);
    auto* version = new QLabel(QStringLiteral("Curvana version " CURVANA_VERSION), this);
    auto* line = new QLabel(
        QString::fromUtf8("Traceur de courbes cartésiennes, paramétrées et polaires"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addWidget(line);
    texts->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    top->addWidget(ok, 0, Qt::AlignTop);
    setLayout(top);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}
