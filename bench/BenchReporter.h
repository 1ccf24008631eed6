#pragma once

// A console reporter that, after the usual table, prints the ratio of each benchmark to its
// reference: a run named "Reference/<case>" is the baseline of every "<Kind>/<case>". Pairs of
// kinds may be compared too, case by case and by the geometric mean over their common cases.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

struct KindComparison {
    std::string kind;
    std::string baseline;
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<KindComparison> comparisons = {})
        : comparisons_(std::move(comparisons))
    {
    }
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    std::map<std::string, double> nanoseconds_; // by full benchmark name
    std::vector<KindComparison> comparisons_;
};

// Runs every registered benchmark with the ratio reporter; the body of a benchmark main.
int RunBenchmarksWithRatios(int argc, char** argv, std::vector<KindComparison> comparisons = {});
