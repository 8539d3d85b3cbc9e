#pragma once
// Decodes a list of image files on a few worker threads and hands the images over on
// the calling thread in list order, so whatever the caller counts or registers per
// image happens as in a plain loop over the list, and a missing file is the first
// one of the list, whichever thread met it first.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Zant {

class DDImage;
class ImageBatch;

class ImageBatchLoader {
public:
    static constexpr int MAX_WORKERS = 4;

    // Takes image index of the list; false stops the batch.
    using Receiver = std::function<bool(size_t index, std::unique_ptr<DDImage> image)>;

    // palletize: each image is turned into palette form where it can be, on its worker.
    // workers below 1: as many as the hardware has, at most MAX_WORKERS.
    explicit ImageBatchLoader(bool palletize, int workers = 0);
    // Stops the workers and waits for them.
    ~ImageBatchLoader();
    ImageBatchLoader(const ImageBatchLoader&) = delete;
    ImageBatchLoader& operator=(const ImageBatchLoader&) = delete;

    // Starts decoding the game paths (as ZantApp::LoadImageFile takes them), so other
    // work can go on meanwhile; stop must outlive this loader. A batch already
    // started is ended first.
    void Start(std::vector<std::string> paths, const std::atomic<bool>& stop);
    bool IsStarted() const { return mBatch != nullptr; }
    // Passes each image of the started batch to receive, which runs on the calling
    // thread, and ends the batch. The images belong to no image set: the receiver
    // adds them. False when a file is missing or corrupt (GetMissingPath names the
    // first such path of the list; the images before it have been received, none
    // after it), when stop is seen or the receiver stops.
    bool Receive(const Receiver& receive);
    // Start and Receive.
    bool Load(std::vector<std::string> paths, const std::atomic<bool>& stop, const Receiver& receive);
    const std::string& GetMissingPath() const { return mMissingPath; }
    int GetWorkerCount() const { return mWorkers; }

    // One image file as a display image outside every image set; none when it is
    // missing or corrupt. Touches nothing shared, so any thread may call it.
    static std::unique_ptr<DDImage> DecodeFile(const std::string& path, bool palletize);
    static int HardwareWorkers();

private:
    bool mPalletize;
    int mWorkers;
    std::string mMissingPath;
    std::unique_ptr<ImageBatch> mBatch;
};

} // namespace Zant
