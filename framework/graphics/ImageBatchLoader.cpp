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

// One list being decoded: what the workers and the receiving thread share, and the
// workers. Workers claim the next index; none is claimed past a failed one, which
// ends the batch anyway.
class ImageBatch {
public:
    ImageBatch(std::vector<std::string> paths, const std::atomic<bool>& stop, bool palletize, int workers)
        : mPaths(std::move(paths)), mStop(stop), mPalletize(palletize), mSlots(mPaths.size()), mLimit(mPaths.size())
    {
        try {
            for (int i = 0; i < std::min<int>(workers, int(mPaths.size())); ++i)
                mThreads.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // Fewer threads than asked: those that started do the work.
        }
        // Not one thread: the images are decoded here, at once.
        if (mThreads.empty())
            Work();
    }

    ~ImageBatch()
    {
        mQuit = true;
        for (std::thread& thread : mThreads)
            thread.join();
    }

    ImageBatch(const ImageBatch&) = delete;
    ImageBatch& operator=(const ImageBatch&) = delete;

    size_t Size() const { return mPaths.size(); }
    const std::string& Path(size_t index) const { return mPaths[index]; }
    bool Stopped() const { return mStop; }

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

private:
    struct Slot {
        std::unique_ptr<DDImage> image;
        bool done = false;
    };

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

    const std::vector<std::string> mPaths;
    const std::atomic<bool>& mStop;
    const bool mPalletize;
    std::mutex mLock;
    std::condition_variable mChanged;
    std::vector<Slot> mSlots;
    std::atomic<size_t> mNext{0};
    std::atomic<size_t> mLimit;
    std::atomic<bool> mQuit{false};
    std::vector<std::thread> mThreads;
};

ImageBatchLoader::ImageBatchLoader(bool palletize, int workers)
    : mPalletize(palletize), mWorkers(workers >= 1 ? workers : HardwareWorkers())
{
}

ImageBatchLoader::~ImageBatchLoader() = default;

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

void ImageBatchLoader::Start(std::vector<std::string> paths, const std::atomic<bool>& stop)
{
    mBatch.reset();
    mMissingPath.clear();
    mBatch = std::make_unique<ImageBatch>(std::move(paths), stop, mPalletize, mWorkers);
}

bool ImageBatchLoader::Receive(const Receiver& receive)
{
    // Ends the batch (its workers joined) on every way out.
    const std::unique_ptr<ImageBatch> batch = std::move(mBatch);
    if (batch == nullptr)
        return true;
    for (size_t index = 0; index < batch->Size(); ++index) {
        std::unique_ptr<DDImage> image;
        if (!batch->Take(index, image)) {
            if (!batch->Stopped())
                mMissingPath = batch->Path(index);
            return false;
        }
        if (!receive(index, std::move(image)))
            return false;
    }
    return true;
}

bool ImageBatchLoader::Load(std::vector<std::string> paths, const std::atomic<bool>& stop, const Receiver& receive)
{
    Start(std::move(paths), stop);
    return Receive(receive);
}

} // namespace Zant
