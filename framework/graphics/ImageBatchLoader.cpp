#include "framework/graphics/ImageBatchLoader.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/ImageLib.h"
#include "platform/Paths.h"

namespace Zant {

namespace {

// What the workers and the receiving thread share. Workers claim the next index;
// none is claimed past a failed one, which ends the batch anyway.
class Batch {
public:
    Batch(const std::vector<std::string>& paths, const std::atomic<bool>& stop, bool palletize)
        : mPaths(paths), mStop(stop), mPalletize(palletize), mSlots(paths.size()), mLimit(paths.size())
    {
    }

    void Work()
    {
        while (!mQuit && !mStop) {
            const size_t index = mNext++;
            if (index >= mLimit)
                return;
            std::unique_ptr<DDImage> image = ImageBatchLoader::DecodeFile(mPaths[index], mPalletize);
            std::lock_guard<std::mutex> lock(mLock);
            if (image == nullptr)
                mLimit = std::min<size_t>(mLimit, index);
            mSlots[index].image = std::move(image);
            mSlots[index].done = true;
            mChanged.notify_all();
        }
    }

    // Waits for image index: true with it, false when it failed or stop was seen.
    bool Take(size_t index, std::unique_ptr<DDImage>& image)
    {
        std::unique_lock<std::mutex> lock(mLock);
        // The stop flag belongs to the caller and nobody signals it: it is polled.
        while (!mSlots[index].done && !mStop)
            mChanged.wait_for(lock, std::chrono::milliseconds(5));
        if (mStop)
            return false;
        image = std::move(mSlots[index].image);
        return image != nullptr;
    }

    void Quit() { mQuit = true; }

private:
    struct Slot {
        std::unique_ptr<DDImage> image;
        bool done = false;
    };

    const std::vector<std::string>& mPaths;
    const std::atomic<bool>& mStop;
    const bool mPalletize;
    std::mutex mLock;
    std::condition_variable mChanged;
    std::vector<Slot> mSlots;
    std::atomic<size_t> mNext{0};
    std::atomic<size_t> mLimit;
    std::atomic<bool> mQuit{false};
};

// Ends the batch and joins its workers on every way out of Load.
class Workers {
public:
    Workers(Batch& batch, int count) : mBatch(batch)
    {
        try {
            for (int i = 0; i < count; ++i)
                mThreads.emplace_back([&batch] { batch.Work(); });
        } catch (const std::system_error&) {
            // Fewer threads than asked: those that started do the work.
        }
        // Not one thread: the images are decoded here, before the first is received.
        if (mThreads.empty())
            batch.Work();
    }
    ~Workers()
    {
        mBatch.Quit();
        for (std::thread& thread : mThreads)
            thread.join();
    }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

private:
    Batch& mBatch;
    std::vector<std::thread> mThreads;
};

} // namespace

ImageBatchLoader::ImageBatchLoader(bool palletize, int workers)
    : mPalletize(palletize), mWorkers(workers >= 1 ? workers : HardwareWorkers())
{
}

int ImageBatchLoader::HardwareWorkers()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(int(cores), 1, MAX_WORKERS);
}

std::unique_ptr<DDImage> ImageBatchLoader::DecodeFile(const std::string& path, bool palletize)
{
    std::unique_ptr<ImageLib::Image> loaded = ImageLib::LoadImageFile(Platform::ToNativePath(path), true);
    if (!loaded)
        return nullptr;
    auto image = std::make_unique<DDImage>(nullptr, nullptr);
    image->TakeBits(*loaded);
    if (palletize)
        image->Palletize();
    return image;
}

bool ImageBatchLoader::Load(const std::vector<std::string>& paths, const std::atomic<bool>& stop,
                            const Receiver& receive)
{
    mMissingPath.clear();
    if (paths.empty())
        return true;
    Batch batch(paths, stop, mPalletize);
    Workers workers(batch, std::min<int>(mWorkers, int(paths.size())));
    for (size_t index = 0; index < paths.size(); ++index) {
        std::unique_ptr<DDImage> image;
        if (!batch.Take(index, image)) {
            if (!stop)
                mMissingPath = paths[index];
            return false;
        }
        if (!receive(index, std::move(image)))
            return false;
    }
    return true;
}

} // namespace Zant
