#pragma once

// Helpers of the window tests: a main window whose view is exactly 800 x 600, and the answering
// of modal dialogs that a command opens.

#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "ui/CCurvanaDoc.h"
#include "ui/CCurvanaView.h"
#include "ui/CMainFrame.h"

struct Window {
    Window()
    {
        doc = std::make_unique<CCurvanaDoc>();
        frame = std::make_unique<CMainFrame>(*doc);
        frame->show();
        ResizeViewTo(800, 600);
    }

    void ResizeViewTo(int w, int h)
    {
        CCurvanaView& view = frame->View();
        for (int i = 0; i < 3 && (view.width() != w || view.height() != h); ++i) {
            frame->resize(frame->width() + w - view.width(), frame->height() + h - view.height());
            QApplication::processEvents();
        }
        ASSERT_EQ(view.width(), w);
        ASSERT_EQ(view.height(), h);
        Paint();
    }

    // A paint, as the window system asks for one.
    void Paint() { frame->View().repaint(); }

    CCurvanaView& View() { return frame->View(); }
    CFunctionsContext& Context() { return doc->Context(); }

    std::unique_ptr<CCurvanaDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

// Mouse events sent straight to the widget: QTest takes the point (0, 0) for "the centre".
inline void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint p)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
        ? Qt::MouseButtons()
        : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(p), w->mapToGlobal(QPointF(p)),
        type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
inline void MousePress(QWidget* w, Qt::MouseButton b, QPoint p)
{
    SendMouse(w, QEvent::MouseButtonPress, b, p);
}
inline void MouseMove(QWidget* w, QPoint p)
{
    SendMouse(w, QEvent::MouseMove, Qt::NoButton, p);
}
inline void MouseRelease(QWidget* w, Qt::MouseButton b, QPoint p)
{
    SendMouse(w, QEvent::MouseButtonRelease, b, p);
}

// Runs action; each modal dialog it opens is handed in turn to the next answer, which must close
// it. A dialog left open after the answers (or after five seconds) is rejected and the test fails.
inline int AnswerModals(
    const std::function<void()>& action, std::vector<std::function<void(QWidget*)>> answers)
{
    int answered = 0;
    QWidget* last = nullptr;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(5);
    qint64 answeredAt = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || (modal == last && clock.elapsed() - answeredAt < 3000))
            return;
        if (modal != last && static_cast<size_t>(answered) < answers.size()
            && clock.elapsed() < 5000) {
            last = modal;
            answeredAt = clock.elapsed();
            answers[static_cast<size_t>(answered++)](modal);
            return;
        }
        ADD_FAILURE() << "a dialog was not answered: " << modal->metaObject()->className();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    });
    poll.start();
    action();
    poll.stop();
    return answered;
}

// An answer that presses a message box's standard button, and remembers its text.
inline std::function<void(QWidget*)> Press(
    QMessageBox::StandardButton button, QString* text = nullptr)
{
    return [button, text](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr) << w->metaObject()->className();
        if (text != nullptr)
            *text = box->text() + QLatin1Char('|') + box->informativeText();
        box->button(button)->click();
    };
}
