#pragma once

// The search for remarkable points, off the user-interface thread: each curve is searched by a
// task of a pool of its own (Qt's global pool draws the plot), on a copy of the curves, and its
// result comes back to this object's thread as soon as it is found. A new search cancels the
// one before, whose results are then dropped; nothing ever waits for a search but the destructor,
// which cancels first.

#include <atomic>
#include <memory>
#include <vector>

#include <QObject>
#include <QThreadPool>

#include "model/CFunction.h"
#include "view/RemarkableSet.h"

class MarkSearch : public QObject {
    Q_OBJECT

public:
    explicit MarkSearch(QObject* parent = nullptr);
    ~MarkSearch() override;

    // Searches every curve of curves over the x range [xMin, xMax], cancelling the search before.
    void Start(const std::vector<CFunction>& curves, double xMin, double xMax);
    void Cancel();
    // Whether curves of the last search are still to come.
    bool Running() const { return pending_ > 0; }

signals:
    // A curve of the current search is done.
    void Found(int curve, const CurveMarks& marks);

private:
    void Deliver(quint64 generation, int curve, CurveMarks marks);

    QThreadPool pool_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    quint64 generation_ = 0;
    int pending_ = 0;
};
