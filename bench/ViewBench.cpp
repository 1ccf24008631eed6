// Milliseconds for a full repaint of the plot view at 1920 x 1080 (the widget's own paint, into
// an image), for the new document and for twenty curves:
//   AfterViewChange/<case>  the view moved by one pixel before each paint: every curve is sampled
//                           and drawn again;
//   Unchanged/<case>        nothing the plot depends on changed (an expose, the rubber band);
//   Marks.../<case>         the same with the remarkable points shown (searched before the
//                           timing; after a view change they are drawn where they were found
//                           while the new search waits for the view to rest);
//   TraceMove/<case>        the trace cursor moved by the pointer, marks and tangent shown.
// The budgets are one frame (16 ms) after a view change and 2 ms without one; the ratios to them
// are printed after the table, from the median of the repetitions.

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QThreadPool>

#include <benchmark/benchmark.h>

#include "bench/BenchDocuments.h"
#include "model/CFunctionsContext.h"
#include "ui/CCurvanaDoc.h"
#include "ui/CCurvanaView.h"
#include "view/PlotRenderer.h"

namespace {

using namespace bench;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
// Parametric and polar curves in as many steps as the view has columns.
constexpr double kSteps = kWidth;

struct Budget {
    const char* kind;
    double milliseconds;
};
const Budget kBudgets[] = {{"AfterViewChange", 16.0}, {"Unchanged", 2.0},
    {"MarksAfterViewChange", 16.0}, {"MarksUnchanged", 2.0}, {"TraceMove", 2.0}};

struct Fixture {
    explicit Fixture(const Case& c, bool marks = false) : view(doc)
    {
        CFunctionsContext& context = doc.Context();
        context = DocumentOf(c, kSteps);
        view.resize(kWidth, kHeight);
        view.render(&target); // the first paint
        if (!marks)
            return;
        view.ShowMarks(true);
        view.render(&target);
        QElapsedTimer clock;
        clock.start();
        while (view.Searching() && clock.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        view.render(&target);
    }

    long Marks() const
    {
        long n = 0;
        for (int i = 0; i < view.Marks().Count(); ++i)
            if (const CurveMarks* m = view.Marks().Marks(i))
                n += static_cast<long>(m->analysis.points.size());
        return n;
    }

    CCurvanaDoc doc;
    CCurvanaView view;
    QImage target {kWidth, kHeight, QImage::Format_RGB32};
};

void ChangeTheViewEachPaint(benchmark::State& state, Fixture& f)
{
    CWorkingArea& area = f.doc.Context().area;
    const double pixel = (area.areaXMax - area.areaXMin) / kWidth;
    double shift = pixel;
    const long before = f.view.Samplings();
    for (auto _ : state) {
        area.areaXMin += shift;
        area.areaXMax += shift;
        shift = -shift;
        f.view.render(&f.target);
        benchmark::DoNotOptimize(f.target.constBits());
    }
    state.counters["samplings_per_paint"] = static_cast<double>(f.view.Samplings() - before)
        / static_cast<double>(state.iterations());
}

void PaintUnchanged(benchmark::State& state, Fixture& f)
{
    const long before = f.view.PlotDrawings();
    for (auto _ : state) {
        f.view.render(&f.target);
        benchmark::DoNotOptimize(f.target.constBits());
    }
    state.counters["plot_drawings"] = static_cast<double>(f.view.PlotDrawings() - before);
}

void AfterViewChange(benchmark::State& state, const Case* c)
{
    Fixture f(*c);
    ChangeTheViewEachPaint(state, f);
}

void Unchanged(benchmark::State& state, const Case* c)
{
    Fixture f(*c);
    PaintUnchanged(state, f);
}

void MarksAfterViewChange(benchmark::State& state, const Case* c)
{
    Fixture f(*c, true);
    state.counters["marks"] = static_cast<double>(f.Marks());
    ChangeTheViewEachPaint(state, f);
}

void MarksUnchanged(benchmark::State& state, const Case* c)
{
    Fixture f(*c, true);
    state.counters["marks"] = static_cast<double>(f.Marks());
    PaintUnchanged(state, f);
}

void TraceMove(benchmark::State& state, const Case* c)
{
    Fixture f(*c, true);
    f.view.TraceNearest({kWidth / 2, kHeight / 2});
    const long before = f.view.PlotDrawings();
    int x = kWidth / 2;
    for (auto _ : state) {
        x = x == kWidth / 2 ? x + 1 : kWidth / 2;
        QMouseEvent move(QEvent::MouseMove, QPointF(x, kHeight / 2), QPointF(x, kHeight / 2),
            Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&f.view, &move);
        f.view.render(&f.target);
        benchmark::DoNotOptimize(f.target.constBits());
    }
    state.counters["marks"] = static_cast<double>(f.Marks());
    state.counters["plot_drawings"] = static_cast<double>(f.view.PlotDrawings() - before);
}

class BudgetReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nMedian repaint against its budget (1 = exactly on budget):\n");
        for (const auto& [name, ms] : medians_)
            for (const Budget& b : kBudgets)
                if (name.rfind(b.kind, 0) == 0)
                    std::printf("  %-32s %8.3f ms  budget %5.1f ms  %6.2f x\n", name.c_str(), ms,
                        b.milliseconds, ms / b.milliseconds);
    }

private:
    std::map<std::string, double> medians_;
};

int Register()
{
    for (const Case& c : kCases) {
        const std::string name = c.name;
        benchmark::RegisterBenchmark(("AfterViewChange/" + name).c_str(), AfterViewChange, &c)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Repetitions(9)
            ->ReportAggregatesOnly(true);
        benchmark::RegisterBenchmark(("Unchanged/" + name).c_str(), Unchanged, &c)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Repetitions(9)
            ->ReportAggregatesOnly(true);
        const std::pair<const char*, void (*)(benchmark::State&, const Case*)> marked[] = {
            {"MarksAfterViewChange/", MarksAfterViewChange},
            {"MarksUnchanged/", MarksUnchanged},
            {"TraceMove/", TraceMove},
        };
        for (const auto& [prefix, run] : marked)
            benchmark::RegisterBenchmark((prefix + name).c_str(), run, &c)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->Repetitions(9)
                ->ReportAggregatesOnly(true);
    }
    return 0;
}

const int kRegistered = Register();

} // namespace

int main(int argc, char** argv)
{
    (void)kRegistered;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    BudgetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    QThreadPool::globalInstance()->waitForDone();
    return 0;
}
