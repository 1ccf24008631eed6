#include "ui/MarkSearch.h"

#include <algorithm>

#include <QMetaObject>
#include <QThread>

#include "model/RemarkablePoints.h"

MarkSearch::MarkSearch(QObject* parent) : QObject(parent)
{
    // One core is left to the window, which draws the plot on Qt's global pool.
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
}

MarkSearch::~MarkSearch()
{
    Cancel();
    pool_.waitForDone();
}

void MarkSearch::Cancel()
{
    if (cancel_)
        cancel_->store(true);
    pool_.clear(); // the tasks not started yet
    ++generation_;
    pending_ = 0;
}

void MarkSearch::Start(const std::vector<CFunction>& curves, double xMin, double xMax)
{
    Cancel();
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    const quint64 generation = generation_;
    pending_ = static_cast<int>(curves.size());
    for (int i = 0; i < static_cast<int>(curves.size()); ++i) {
        // Each task has its own copy of the curves, which the window goes on changing.
        pool_.start([this, curves, i, xMin, xMax, generation, cancel = cancel_] {
            CurveMarks marks;
            try {
                marks = FindCurveMarks(curves, i, xMin, xMax, cancel.get());
            } catch (...) {
                // Out of memory: nothing may leave a task of the pool.
                marks = CurveMarks {};
                marks.analysis = WholeRangeUndecided(curves[static_cast<size_t>(i)], i, xMin, xMax);
            }
            if (cancel->load())
                return;
            QMetaObject::invokeMethod(
                this,
                [this, generation, i, found = std::move(marks)]() mutable {
                    Deliver(generation, i, std::move(found));
                },
                Qt::QueuedConnection);
        });
    }
}

void MarkSearch::Deliver(quint64 generation, int curve, CurveMarks marks)
{
    if (generation != generation_)
        return; // a search cancelled since
    --pending_;
    emit Found(curve, marks);
}
