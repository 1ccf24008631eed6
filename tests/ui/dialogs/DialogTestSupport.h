#pragma once

// Helpers of the dialog tests: finding controls by name, typing into fields, and acting on a
// modal window (a message box, the colour popup, the system chooser) from the event loop while
// the code under test waits in it.

#include <functional>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace dialogtest {

template <class T> T* Child(const QObject* parent, const char* name)
{
    T* child = parent->findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(child, nullptr) << "no child " << name;
    return child;
}

// Replaces the text of a field as a user would: select everything, type over it. Characters
// beyond ASCII come as an input method commits them.
inline void TypeInto(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x80) {
            QTest::keyClick(edit, text[i].toLatin1());
            continue;
        }
        const qsizetype n = text[i].isHighSurrogate() ? 2 : 1;
        QInputMethodEvent commit;
        commit.setCommitString(text.mid(i, n));
        QCoreApplication::sendEvent(edit, &commit);
        i += n - 1;
    }
}

// Watches for message boxes while it lives, answering each with Escape, and tells whether one
// came.
class MessageBoxWatch {
public:
    MessageBoxWatch()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen_ = true;
                box->reject();
            }
        });
        timer_.start();
    }
    bool Seen()
    {
        QTest::qWait(50);
        return seen_;
    }

private:
    QTimer timer_;
    bool seen_ = false;
};

// Clicks a check box or radio button on its indicator, where a user aims.
inline void ClickToggle(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

inline std::string Std(const QString& text)
{
    return text.toStdString();
}

// Runs action on the first active modal window of type T, once it is shown. A window that never
// comes fails the test; a modal window left open by the action is closed so that no test hangs.
template <class T> void WhenModal(std::function<void(T*)> action, int attempts = 300)
{
    QTimer::singleShot(10, [action, attempts] {
        T* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (modal == nullptr || !modal->isVisible()) {
            if (attempts > 0) {
                WhenModal<T>(action, attempts - 1);
                return;
            }
            ADD_FAILURE() << "the expected modal window did not open";
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        action(modal);
    });
}

// Opens dialog with exec(), runs steps once it is shown, and returns exec's result. The steps end
// the dialog; if they do not, it is rejected.
inline int Exec(QDialog& dialog, std::function<void()> steps)
{
    QTimer::singleShot(0, &dialog, [&dialog, steps] {
        steps();
        if (dialog.isVisible())
            QTimer::singleShot(0, &dialog, [&dialog] {
                if (dialog.isVisible())
                    dialog.reject();
            });
    });
    return dialog.exec();
}

// Clicks the button of the active message box whose text is text.
inline void AnswerMessageBox(const QString& text)
{
    WhenModal<QMessageBox>([text](QMessageBox* box) {
        for (QAbstractButton* button : box->findChildren<QAbstractButton*>())
            if (button->text() == text) {
                button->click();
                return;
            }
        ADD_FAILURE() << "no button " << text.toStdString();
        box->close();
    });
}

} // namespace dialogtest
