// The art tool: paints every image of the manifest into the program folder's
// images folder and writes contact sheets of the whole set.
//
//   plindor_art --manifest images.manifest --out <game>/images --sheets <dir> [--jobs N] [--only name]
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/art/ImageFile.h"
#include "tools/art/Manifest.h"
#include "tools/art/Painters.h"
#include "tools/art/Sheets.h"

using namespace Zant::Art;

namespace {

struct Options {
    std::string manifest, out, sheets, only;
    int jobs = 0;
};

bool ParseArgs(int argc, char** argv, Options& o)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = argv[i], value = argv[i + 1];
        if (key == "--manifest")
            o.manifest = value;
        else if (key == "--out")
            o.out = value;
        else if (key == "--sheets")
            o.sheets = value;
        else if (key == "--only")
            o.only = value;
        else if (key == "--jobs")
            o.jobs = std::atoi(value.c_str());
        else
            return false;
    }
    return !o.manifest.empty() && !o.out.empty();
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseArgs(argc, argv, options)) {
        std::fprintf(stderr, "usage: plindor_art --manifest FILE --out DIR [--sheets DIR] [--jobs N] [--only NAME]\n");
        return 2;
    }
    Manifest manifest;
    std::string error;
    if (!LoadManifest(options.manifest, manifest, error)) {
        std::fprintf(stderr, "plindor_art: %s\n", error.c_str());
        return 1;
    }
    SetFontFiles(manifest);
    Registry registry;
    RegisterCreatures(registry);
    RegisterSharks(registry);
    RegisterBosses(registry);
    RegisterBoard(registry);
    RegisterScreens(registry);
    RegisterInterface(registry);
    RegisterTutor(registry);

    std::vector<const ImageSpec*> work;
    for (const ImageSpec& entry : manifest.images) {
        if (!options.only.empty() && entry.name != options.only)
            continue;
        if (!registry.Find(entry.name)) {
            std::fprintf(stderr, "plindor_art: no painter for %s\n", entry.name.c_str());
            return 1;
        }
        work.push_back(&entry);
    }
    std::filesystem::create_directories(options.out);

    std::vector<PaintedImage> painted(work.size());
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex errorLock;
    auto worker = [&] {
        for (size_t i = next++; i < work.size() && !failed; i = next++) {
            const ImageSpec& entry = *work[i];
            std::string message;
            try {
                Canvas canvas(entry.width, entry.height);
                (*registry.Find(entry.name))(canvas, entry);
                painted[i].entry = &entry;
                painted[i].rgba = ToRgba(canvas.Surface(), entry.alpha);
                if (WritePng(options.out + "/" + entry.name + ".png", painted[i].rgba, entry.width, entry.height, message))
                    continue;
            } catch (const std::exception& e) {
                message = entry.name + ": " + e.what();
            }
            std::lock_guard<std::mutex> lock(errorLock);
            std::fprintf(stderr, "plindor_art: %s\n", message.c_str());
            failed = true;
        }
    };
    int jobs = options.jobs > 0 ? options.jobs : int(std::max(1u, std::min(4u, std::thread::hardware_concurrency())));
    std::vector<std::thread> threads;
    for (int j = 0; j < jobs; ++j)
        threads.emplace_back(worker);
    for (std::thread& t : threads)
        t.join();
    if (failed)
        return 1;

    if (!options.sheets.empty()) {
        std::filesystem::create_directories(options.sheets);
        if (!WriteContactSheets(options.sheets, painted, error) || !WriteSceneSheets(options.sheets, painted, error)) {
            std::fprintf(stderr, "plindor_art: %s\n", error.c_str());
            return 1;
        }
    }
    std::printf("plindor_art: %zu images\n", painted.size());
    return 0;
}
