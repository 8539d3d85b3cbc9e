#pragma once
// What an image needs of the application that keeps the set of live images: it
// joins the set when made and leaves it when destroyed. The loading thread makes
// images while the main thread walks the set, so implementations guard the set
// (AddImage, ForgetImage and every walk) with one lock.

namespace Zant {

class MemoryImage;

class ImageRegistry {
public:
    virtual ~ImageRegistry() = default;
    virtual void AddImage(MemoryImage* image) = 0;
    virtual void ForgetImage(MemoryImage* image) = 0;
};

} // namespace Zant
