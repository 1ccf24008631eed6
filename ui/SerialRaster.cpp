#include "ui/SerialRaster.h"

#include <exception>

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

void PaintSerially(const std::function<void()>& paint)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    if (pool == nullptr || pool->contains(QThread::currentThread())) {
        paint();
        return;
    }
    QSemaphore done;
    std::exception_ptr failure;
    const bool started = pool->tryStart([&] {
        try {
            paint();
        } catch (...) {
            failure = std::current_exception();
        }
        done.release();
    });
    if (!started) {
        paint();
        return;
    }
    done.acquire();
    if (failure)
        std::rethrow_exception(failure);
}
