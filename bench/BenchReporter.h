#pragma once

// A console reporter that, after the usual table, prints the ratio of each benchmark to its
// reference: a run named "Reference/<case>" is the baseline of every "<Kind>/<case>".

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    std::map<std::string, double> nanoseconds_; // by full benchmark name
};

// Runs every registered benchmark with the ratio reporter; the body of a benchmark main.
int RunBenchmarksWithRatios(int argc, char** argv);
