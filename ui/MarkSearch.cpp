#include "ui/MarkSearch.h"

#include <algorithm>
#include <exception>

#include <QMetaObject>
#include <QThread>

#include "model/CurveKind.h"

namespace {

// What a curve whose search failed (out of memory) shows: its whole range undecided.
CurveMarks Undecided(const CFunction& curve, int index, double xMin, double xMax)
{
    CurveMarks marks;
    const CurveKind* kind = FindCurveKind(curve.Type());
    if (kind == nullptr)
        return marks;
    const bool parameter = RunsOverParameter(*kind);
    marks.analysis.undecided.push_back(
        {index, parameter ? curve.paramMin : xMin, parameter ? curve.paramMax : xMax});
    return marks;
}

} // namespace

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
        // Each task has its own copy: the curves compile their formulas as they are evaluated.
        pool_.start([this, curves, i, xMin, xMax, generation, cancel = cancel_] {
            CurveMarks marks;
            try {
                marks = FindCurveMarks(curves, i, xMin, xMax, cancel.get());
            } catch (const std::exception&) {
                marks = Undecided(curves[static_cast<size_t>(i)], i, xMin, xMax);
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
