#pragma once
// The interface through which the application and the game load and play effects.
#include <string>

namespace Zant {

class SoundInstance;

class SoundManager {
public:
    virtual ~SoundManager() = default;
    virtual bool Initialized() = 0;
    // False when the sound cannot be loaded; error then names the file and the problem
    // (a damaged file, or none of the name at all), for the loader to show.
    virtual bool LoadSoundFile(unsigned int id, const std::string& name, std::string& error) = 0;
    bool LoadSoundFile(unsigned int id, const std::string& name)
    {
        std::string error;
        return LoadSoundFile(id, name, error);
    }
    virtual bool SetBaseVolume(unsigned int id, double volume) = 0;
    virtual bool SetBasePan(unsigned int id, int pan) = 0;
    virtual void SetVolume(double volume) = 0;
    virtual SoundInstance* CreateChannel(unsigned int id) = 0;
    virtual void ReleaseSounds() = 0;
    virtual void ReleaseChannels() = 0;
    virtual double ReadMixerVolume() = 0;
    virtual void WriteMixerVolume(double volume) = 0;
    virtual void Flush() {}
    virtual void SetCooperativeWindow(void* window, bool isWindowed) = 0;
};

} // namespace Zant
