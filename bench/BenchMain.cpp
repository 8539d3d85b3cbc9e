// The benchmarks' main: as Google Benchmark's own, except that a benchmark that
// could not run its case (SkipWithError) fails the program, so that a run which
// measured nothing is never taken for a success.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class FailureCountingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.error_occurred)
                mFailures.push_back(run.benchmark_name() + ": " + run.error_message);
        ConsoleReporter::ReportRuns(runs);
    }
    const std::vector<std::string>& Failures() const { return mFailures; }

private:
    std::vector<std::string> mFailures;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    FailureCountingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const std::string& failure : reporter.Failures())
        std::fprintf(stderr, "could not run %s\n", failure.c_str());
    return reporter.Failures().empty() ? 0 : 1;
}
