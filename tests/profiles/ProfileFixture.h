#pragma once
// A headless game application on an in-memory settings store (with the program's
// key made, as start-up makes it), a seeded game generator, a captured message box
// and an empty users folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "framework/util/MersenneTwister.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"

namespace ProfileTests {

inline const char* const PROGRAM_KEY = "SOFTWARE\\Vorlix\\Plindor";

class ProfileFixture : public ::testing::Test {
protected:
    ProfileFixture()
    {
        std::filesystem::remove_all(Platform::UserDataFolder() + "/users");
        Platform::SetSettingsStore(&store);
        Platform::SetMessageBoxes(&boxes);
        store.CreateKey(PROGRAM_KEY);
        delete Zant::gGameRandom;
        Zant::gGameRandom = new Zant::MersenneTwister(99);
        app = std::make_unique<Zant::WinBTApp>();
    }
    ~ProfileFixture() override
    {
        app.reset();
        delete Zant::gGameRandom;
        Zant::gGameRandom = nullptr;
        Platform::SetSettingsStore(nullptr);
        Platform::SetMessageBoxes(nullptr);
    }

    std::string StoredText(const std::string& user, const std::string& value)
    {
        int type = 0;
        std::string data;
        if (!store.GetValue(std::string(PROGRAM_KEY) + "\\Users\\" + user, value, type, data))
            return "<missing>";
        return data;
    }
    void StoreText(const std::string& user, const std::string& value, const std::string& text)
    {
        store.SetString(std::string(PROGRAM_KEY) + "\\Users\\" + user, value, text);
    }
    // A user key as the game writes it for a fresh player of that number.
    void StoreUser(const std::string& name, int number)
    {
        Zant::UserProfile profile(app.get());
        profile.mName = name;
        profile.mUserNumber = number;
        Zant::UserProfileMgr writer(app.get());
        writer.WriteUserProfileToRegistry(&profile, false, false);
    }

    Platform::SettingsStore store;
    Platform::FakeMessageBoxService boxes;
    std::unique_ptr<Zant::WinBTApp> app;
};

} // namespace ProfileTests
