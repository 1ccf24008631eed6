#include "bench/BenchReporter.h"

#include <cmath>
#include <cstdio>

void RatioReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration || run.iterations == 0)
            continue;
        nanoseconds_[run.benchmark_name()] = run.GetAdjustedRealTime()
            * (run.time_unit == benchmark::kNanosecond         ? 1.0
                    : run.time_unit == benchmark::kMicrosecond ? 1e3
                    : run.time_unit == benchmark::kMillisecond ? 1e6
                                                               : 1e9);
    }
}

void RatioReporter::Finalize()
{
    ConsoleReporter::Finalize();
    std::printf("\nRatios to the reference (Reference/<case> = 1):\n");
    for (const auto& [name, ns] : nanoseconds_) {
        const size_t slash = name.find('/');
        if (slash == std::string::npos || name.compare(0, slash, "Reference") == 0)
            continue;
        const auto reference = nanoseconds_.find("Reference" + name.substr(slash));
        if (reference == nanoseconds_.end() || reference->second <= 0)
            continue;
        std::printf("  %-50s %8.2f x\n", name.c_str(), ns / reference->second);
    }
    for (const KindComparison& c : comparisons_) {
        std::printf("\nRatios of %s to %s:\n", c.kind.c_str(), c.baseline.c_str());
        double logSum = 0;
        int count = 0;
        for (const auto& [name, ns] : nanoseconds_) {
            if (name.compare(0, c.kind.size() + 1, c.kind + "/") != 0)
                continue;
            const std::string caseName = name.substr(c.kind.size() + 1);
            const auto base = nanoseconds_.find(c.baseline + "/" + caseName);
            if (base == nanoseconds_.end() || base->second <= 0 || ns <= 0)
                continue;
            std::printf("  %-50s %8.2f x\n", caseName.c_str(), ns / base->second);
            logSum += std::log(ns / base->second);
            ++count;
        }
        if (count > 0)
            std::printf("  %-50s %8.2f x\n", "geometric mean", std::exp(logSum / count));
    }
}

int RunBenchmarksWithRatios(int argc, char** argv, std::vector<KindComparison> comparisons)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(std::move(comparisons));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
