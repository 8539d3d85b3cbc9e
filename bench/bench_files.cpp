// Reading a large XML document (level files and lessons go through the same reader;
// goal: a 1 MB document well under 0.5 s), reading deeply nested elements (goal: time
// linear in the depth, 200,000 levels well under 0.5 s) and one settings change on a store the
// size of many saved profiles (each change is written to disk before it returns).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "framework/util/XMLParser.h"
#include "platform/SettingsStore.h"

namespace {

std::string MakeDocument(size_t bytes)
{
    std::string doc = "<?xml version=\"1.0\"?>\n<Levels>\n";
    int i = 0;
    while (doc.size() < bytes) {
        doc += "  <Level name=\"reef " + std::to_string(i) + "\" speed = 3 boss>\n";
        doc += "    <Wave count=\"4\" kind=shark/>\n    <!-- a comment -->\n";
        doc += "    <Text>Sharks &amp; piranhas   swim   here</Text>\n  </Level>\n";
        ++i;
    }
    return doc + "</Levels>\n";
}

void XmlRead1MB(benchmark::State& state)
{
    const std::string doc = MakeDocument(1 << 20);
    for (auto _ : state) {
        Zant::XMLParser parser;
        parser.SetStringSource(doc);
        Zant::XMLElement element;
        int count = 0;
        while (parser.ReadElement(element))
            ++count;
        if (parser.HasFailed())
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(doc.size()));
}
BENCHMARK(XmlRead1MB)->Name("XmlRead1MB/ours")->Unit(benchmark::kMillisecond);

// Depth n: n nested start tags, then their n end tags. The reported complexity
// should come out as O(N).
void XmlReadNested(benchmark::State& state)
{
    const size_t depth = static_cast<size_t>(state.range(0));
    std::string doc;
    doc.reserve(depth * 8);
    for (size_t i = 0; i < depth; ++i)
        doc += "<e>";
    for (size_t i = 0; i < depth; ++i)
        doc += "</e>";
    for (auto _ : state) {
        Zant::XMLParser parser;
        parser.SetStringSource(doc);
        size_t count = 0;
        for (;;) {
            Zant::XMLElement element;
            if (!parser.ReadElement(element))
                break;
            ++count;
        }
        if (parser.HasFailed() || count != 2 * depth)
            state.SkipWithError("nested document misread");
        benchmark::DoNotOptimize(count);
    }
    state.SetComplexityN(static_cast<int64_t>(depth));
}
BENCHMARK(XmlReadNested)
    ->Name("XmlReadNested/ours")
    ->RangeMultiplier(2)
    ->Range(25000, 200000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

void SettingsWrite(benchmark::State& state)
{
    const std::string path = "/tmp/plindor-bench-settings-" + std::to_string(getpid()) + ".txt";
    {
        Platform::SettingsStore store(path);
        for (int user = 0; user < 10; ++user)
            for (int v = 0; v < 100; ++v)
                store.SetString("SOFTWARE\\Vorlix\\Plindor\\Users\\user" + std::to_string(user),
                                "Value" + std::to_string(v), "12345");
        int i = 0;
        for (auto _ : state)
            store.SetString("SOFTWARE\\Vorlix\\Plindor\\Users\\user0", "Value" + std::to_string(i++ % 100), "54321");
    }
    std::remove(path.c_str());
}
BENCHMARK(SettingsWrite)->Name("SettingsWrite1000Values/ours")->Unit(benchmark::kMicrosecond);

} // namespace
