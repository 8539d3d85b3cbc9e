#include "platform/audio/SharedLibrary.h"

#include <dlfcn.h>

namespace Platform {

bool SharedLibrary::Open(const std::string& path)
{
    Close();
    mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!mHandle) {
        const char* e = dlerror();
        mError = e ? e : "cannot load " + path;
        return false;
    }
    mError.clear();
    return true;
}

void SharedLibrary::Close()
{
    if (mHandle) {
        dlclose(mHandle);
        mHandle = nullptr;
    }
}

void* SharedLibrary::Symbol(const char* name) const
{
    return mHandle ? dlsym(mHandle, name) : nullptr;
}

} // namespace Platform
