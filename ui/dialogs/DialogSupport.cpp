#include "ui/dialogs/DialogSupport.h"

#include <cmath>

#include <QBoxLayout>
#include <QCoreApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTextCharFormat>

#include "platform/CLocale.h"

QString FormatNumber(double value)
{
    return QString::fromStdString(platform::CFormat("%f", value));
}

double ReadNumber(const QString& text)
{
    return platform::CAtof(text.toUtf8().constData());
}

long ReadInteger(const QString& text)
{
    return platform::CAtol(text.toUtf8().constData());
}

// ---- NumberEdit ----

NumberEdit::NumberEdit(QWidget* parent) : QLineEdit(parent) { }

void NumberEdit::SetValue(double value)
{
    shownValue_ = value;
    shownText_ = FormatNumber(value);
    setText(shownText_);
}

double NumberEdit::Value() const
{
    return text() == shownText_ ? shownValue_ : ReadNumber(text());
}

// ---- FormulaEdit ----

FormulaEdit::FormulaEdit(QWidget* parent) : QLineEdit(parent)
{
    // The line edit drops formats whenever its text changes: the mark is laid again afterwards.
    connect(this, &QLineEdit::textChanged, this, [this] { ApplyMark(); });
}

void FormulaEdit::SetMark(int from, int length)
{
    if (from < 0 || length <= 0) {
        from = -1;
        length = 0;
    }
    markFrom_ = from;
    markLength_ = length;
    ApplyMark();
}

void FormulaEdit::ApplyMark()
{
    // Formats of a line edit can only be set through an input method event; its positions count
    // from the cursor.
    QList<QInputMethodEvent::Attribute> attributes;
    if (markLength_ > 0) {
        QTextCharFormat format;
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        format.setUnderlineColor(QColor(220, 0, 0));
        format.setForeground(QColor(176, 0, 0));
        // A blank is marked too: it has no glyph to underline.
        format.setBackground(QColor(255, 218, 218));
        attributes.append(QInputMethodEvent::Attribute(
            QInputMethodEvent::TextFormat, markFrom_ - cursorPosition(), markLength_, format));
    }
    QInputMethodEvent event(QString(), attributes);
    QCoreApplication::sendEvent(this, &event);
}

// ---- ArrowSpinBox ----

ArrowSpinBox::ArrowSpinBox(QWidget* parent) : QSpinBox(parent)
{
    lineEdit()->setReadOnly(true);
}

void RefuseField(QDialog* dialog, QLineEdit* field, const std::string& message)
{
    field->setFocus();
    field->selectAll();
    QMessageBox::warning(dialog, dialog->windowTitle(), QString::fromStdString(message));
    field->setFocus();
    field->selectAll();
}

// ---- dialog units ----

int DialogUnitsX(const QWidget* widget, int units)
{
    const QFontMetrics metrics(widget->font());
    return static_cast<int>(std::lround(units * metrics.averageCharWidth() / 4.0));
}

int DialogUnitsY(const QWidget* widget, int units)
{
    const QFontMetrics metrics(widget->font());
    return static_cast<int>(std::lround(units * metrics.height() / 8.0));
}

DialogButtons MakeDialogButtons(
    QDialog* dialog, const char* okText, const char* cancelText, Qt::Orientation orientation)
{
    DialogButtons out;
    out.ok = new QPushButton(QString::fromUtf8(okText), dialog);
    out.ok->setObjectName("okButton");
    out.ok->setDefault(true);
    out.cancel = new QPushButton(QString::fromUtf8(cancelText), dialog);
    out.cancel->setObjectName("cancelButton");
    QObject::connect(out.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    const bool row = orientation == Qt::Horizontal;
    out.layout = new QBoxLayout(row ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    if (row)
        out.layout->addStretch();
    out.layout->addWidget(out.ok);
    out.layout->addWidget(out.cancel);
    if (!row)
        out.layout->addStretch();
    return out;
}
