// The benchmark programs' main: runs the benchmarks as Google Benchmark's own main does,
// and ends with exit code 1 when any of them could not run its case, so a missing
// program folder or display shows as a failure, not as a run without figures.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

class FailureWatch : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.error_occurred) {
                failed = true;
                std::fprintf(stderr, "%s could not run: %s\n", run.benchmark_name().c_str(), run.error_message.c_str());
            }
        ConsoleReporter::ReportRuns(runs);
    }
    bool failed = false;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    FailureWatch reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.failed ? 1 : 0;
}
