#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <memory>

#include "framework/app/RegistryDemoResult.h"
#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"
#include "platform/SettingsStore.h"
#include "tests/support/TestSupport.h"

using Platform::SettingsStore;
using Zant::Buffer;
using Zant::RegistryDemoResult;
using Zant::ZantApp;

namespace {

const char* const kKey = "SOFTWARE\\Vorlix\\Plindor";

// An application on an installed store. The store outlives the application, whose
// shutdown may still save its settings.
class Registry : public testing::Test {
protected:
    void SetUp() override { Use(std::make_unique<SettingsStore>()); }
    void TearDown() override
    {
        app.reset();
        Platform::SetSettingsStore(nullptr);
    }
    void Use(std::unique_ptr<SettingsStore> s)
    {
        app.reset();
        store = std::move(s);
        Platform::SetSettingsStore(store.get());
        NewApp();
    }
    void NewApp()
    {
        app.reset();
        app = std::make_unique<ZantApp>();
        app->mRegKey = "Vorlix\\Plindor";
    }
    std::string Stored(const std::string& key, const std::string& name, int* type = nullptr)
    {
        int t = 0;
        std::string data;
        if (!store->GetValue(key, name, t, data))
            return "<missing>";
        if (type)
            *type = t;
        return data;
    }

    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<ZantApp> app;
};

TEST_F(Registry, ValueNamesOpenSubKeys)
{
    ASSERT_TRUE(app->WriteRegistryInt("Users\\Bob\\Score", 5));
    EXPECT_TRUE(store->KeyExists(std::string(kKey) + "\\Users\\Bob"));
    EXPECT_EQ(Stored(std::string(kKey) + "\\Users\\Bob", "Score"), std::string("\x05\0\0\0", 4));
    int v = 0;
    EXPECT_TRUE(app->ReadRegistryInt("users\\bob\\score", v));
    EXPECT_EQ(v, 5);

    // A trailing separator on the program's key is dropped.
    app->mRegKey = "Vorlix\\Plindor\\";
    v = 0;
    EXPECT_TRUE(app->ReadRegistryInt("Users\\Bob\\Score", v));
    EXPECT_EQ(v, 5);
}

TEST_F(Registry, TypedReads)
{
    ASSERT_TRUE(app->WriteRegistryString("Name", "Bob"));
    ASSERT_TRUE(app->WriteRegistryBool("Flag", true));
    int type = 0;
    EXPECT_EQ(Stored(kKey, "Name", &type), "Bob"); // no terminating zero is stored
    EXPECT_EQ(type, Zant::REG_TYPE_SZ);

    int v = 77;
    EXPECT_FALSE(app->ReadRegistryInt("Name", v));
    EXPECT_EQ(v, 77);
    std::string s = "unchanged";
    EXPECT_FALSE(app->ReadRegistryString("Flag", s));
    EXPECT_FALSE(app->ReadRegistryString("Missing", s));
    EXPECT_EQ(s, "unchanged");
    bool b = false;
    EXPECT_TRUE(app->ReadRegistryBool("Flag", b));
    EXPECT_TRUE(b);

    const std::string longest(255, 'x');
    ASSERT_TRUE(app->WriteRegistryString("Long", longest));
    EXPECT_TRUE(app->ReadRegistryString("Long", s));
    EXPECT_EQ(s, longest);
    ASSERT_TRUE(app->WriteRegistryString("TooLong", longest + "y"));
    EXPECT_FALSE(app->ReadRegistryString("TooLong", s));
    EXPECT_EQ(s, longest);

    // A value written with its terminator reads back without it.
    ASSERT_TRUE(app->WriteRegistryValue("Terminated", Zant::REG_TYPE_SZ, reinterpret_cast<const uint8_t*>("hi"), 3));
    EXPECT_TRUE(app->ReadRegistryString("Terminated", s));
    EXPECT_EQ(s, "hi");

    uint8_t small[2];
    int length = 2;
    EXPECT_FALSE(app->ReadRegistryValue("Name", type, small, length)); // does not fit
    length = 3;
    uint8_t fits[3];
    EXPECT_TRUE(app->ReadRegistryValue("Name", type, fits, length));
    EXPECT_EQ(length, 3);
}

TEST_F(Registry, KeysAndListing)
{
    for (const char* user : {"zoe", "Adam", "bea"})
        ASSERT_TRUE(app->WriteRegistryInt(std::string("Users\\") + user + "\\UserNumber", 1));
    ASSERT_TRUE(app->WriteRegistryString("Users\\User", "Adam"));
    std::vector<std::string> keys = {"stale"};
    ASSERT_TRUE(app->ListRegistrySubKeys("Users", keys));
    EXPECT_EQ(keys, (std::vector<std::string>{"Adam", "bea", "zoe"}));
    ASSERT_TRUE(app->ListRegistrySubKeys("", keys));
    EXPECT_EQ(keys, std::vector<std::string>{"Users"});
    EXPECT_FALSE(app->ListRegistrySubKeys("Nobody", keys));
    EXPECT_TRUE(keys.empty());

    EXPECT_FALSE(app->DeleteRegistryKey("Users")); // it has sub-keys
    EXPECT_TRUE(app->DeleteRegistryKey("Users\\bea"));
    ASSERT_TRUE(app->ListRegistrySubKeys("Users", keys));
    EXPECT_EQ(keys, (std::vector<std::string>{"Adam", "zoe"}));

    app->DeleteRegistryValue("Users\\User");
    std::string s;
    EXPECT_FALSE(app->ReadRegistryString("Users\\User", s));
}

TEST_F(Registry, FailedWritesAreReported)
{
    store->SetFailWrites(true);
    EXPECT_FALSE(app->WriteRegistryInt("X", 1));
    EXPECT_FALSE(app->WriteRegistryString("Users\\Bob\\Seed", "3"));
    store->SetFailWrites(false);
    EXPECT_TRUE(app->WriteRegistryInt("X", 1));
}

TEST_F(Registry, EmptyProgramKeyDoesNothing)
{
    app->mRegKey = "";
    app->mMusicVolume = 0.4;
    const std::string before = store->Serialize();
    app->LoadSettings();
    EXPECT_TRUE(app->mLoadedSettings);
    EXPECT_DOUBLE_EQ(app->mMusicVolume, 0.4);
    EXPECT_FALSE(app->WriteRegistryInt("X", 1));
    int v = 0;
    EXPECT_FALSE(app->ReadRegistryInt("X", v));
    std::vector<std::string> keys;
    EXPECT_FALSE(app->ListRegistrySubKeys("", keys));
    EXPECT_EQ(store->Serialize(), before);
}

TEST_F(Registry, PropertiesReplaceKeyAndReferId)
{
    store->SetString("SOFTWARE\\Other\\Game", "ReferId", "from-store");
    app->StoreStringProperty("RegistryKey", "Other\\Game");
    app->LoadSettings();
    EXPECT_EQ(app->mRegKey, "Other\\Game");
    EXPECT_EQ(app->mReferId, "from-store");
    EXPECT_EQ(Stored("SOFTWARE\\Other\\Game", "InProgress"), std::string("\x01\0\0\0", 4));

    NewApp();
    app->StoreStringProperty("RegistryKey", "Other\\Game");
    app->StoreStringProperty("ReferId", "from-property");
    app->LoadSettings();
    EXPECT_EQ(app->mReferId, "from-property");
}

TEST_F(Registry, SaveWritesEveryValue)
{
    app->mMusicVolume = 0.29;
    app->mSfxVolume = 0.857;
    app->mMuteCount = 2;
    app->mAutoMuteCount = 1;
    app->mIsWindowed = false;
    app->mCustomCursorsEnabled = true;
    app->mITSuccess = true;
    app->mLastVerCheckQueryTime = 1234567;
    app->mWaitForVSync = true;
    app->SaveSettings();
    const struct {
        const char* name;
        uint32_t value;
    } expected[] = {{"MusicVolume", 29}, {"SfxVolume", 85}, {"Muted", 1},
                    {"ScreenMode", 1},   {"CustomCursors", 1}, {"ITSuccess", 1},
                    {"LastVerCheckQueryTime", 1234567}, {"InProgress", 0}, {"WaitForVSync", 1}};
    for (const auto& e : expected) {
        int type = 0;
        const std::string bytes = Stored(kKey, e.name, &type);
        ASSERT_EQ(bytes.size(), 4u) << e.name;
        EXPECT_EQ(type, Zant::REG_TYPE_DWORD) << e.name;
        uint32_t v = 0;
        memcpy(&v, bytes.data(), 4);
        EXPECT_EQ(v, e.value) << e.name;
    }
}

TEST_F(Registry, VolumesKeepTheirPercent)
{
    const struct {
        double volume;
        int percent;
    } cases[] = {{0.857, 85}, {0.85, 85}, {0.29, 29}, {0.58, 58}, {1.0, 100}, {0.0, 0}, {0.57, 57}};
    for (const auto& c : cases) {
        app->mMusicVolume = c.volume;
        app->SaveSettings();
        int v = -1;
        ASSERT_TRUE(app->ReadRegistryInt("MusicVolume", v));
        EXPECT_EQ(v, c.percent) << c.volume;
        // and a second round trip through loading keeps it
        app->mMusicVolume = 0;
        app->LoadSettings();
        app->SaveSettings();
        ASSERT_TRUE(app->ReadRegistryInt("MusicVolume", v));
        EXPECT_EQ(v, c.percent) << c.volume;
    }
}

TEST_F(Registry, LoadedValuesAreKeptInRange)
{
    app->WriteRegistryInt("MusicVolume", 500);
    app->WriteRegistryInt("SfxVolume", -20);
    app->WriteRegistryInt("Muted", -3);
    app->WriteRegistryInt("ScreenMode", 1);
    app->WriteRegistryInt("DontUpdate", 1);
    app->WriteRegistryString("WaitForVSync", "1"); // wrong type: left alone
    app->LoadSettings();
    EXPECT_DOUBLE_EQ(app->mMusicVolume, 1.0);
    EXPECT_DOUBLE_EQ(app->mSfxVolume, 0.0);
    EXPECT_EQ(app->mMuteCount, 0);
    EXPECT_FALSE(app->mIsWindowed);
    EXPECT_TRUE(app->mDontUpdate);
    EXPECT_FALSE(app->mWaitForVSync);
}

TEST_F(Registry, MissingCheckTimeBecomesNow)
{
    const int before = static_cast<int>(std::time(nullptr));
    app->LoadSettings();
    EXPECT_GE(app->mLastVerCheckQueryTime, before);
    EXPECT_LE(app->mLastVerCheckQueryTime, before + 60);
}

TEST_F(Registry, CrashIsNoticedAtTheNextStart)
{
    app->LoadSettings();
    EXPECT_TRUE(app->mLastShutdownWasGraceful); // nothing stored yet
    // The run ends without saving (a crash): the next start sees InProgress = 1.
    app->mLoadedSettings = false;
    NewApp();
    app->LoadSettings();
    EXPECT_FALSE(app->mLastShutdownWasGraceful);
    app->SaveSettings();
    app->mLoadedSettings = false;
    NewApp();
    app->LoadSettings();
    EXPECT_TRUE(app->mLastShutdownWasGraceful);
}

TEST_F(Registry, SettingsSurviveAProcessRestart)
{
    TestSupport::TempDir dir;
    const std::string path = dir.File("settings.txt");
    Use(std::make_unique<SettingsStore>(path));
    app->LoadSettings();
    app->mMusicVolume = 0.58;
    app->mSfxVolume = 0.29;
    app->mIsWindowed = false;
    app->mWaitForVSync = true;
    app->mLastVerCheckQueryTime = 99;
    app->SaveSettings();
    app->mLoadedSettings = false;

    Use(std::make_unique<SettingsStore>(path)); // a new store object reads the file afresh
    app->LoadSettings();
    EXPECT_DOUBLE_EQ(app->mMusicVolume, 0.58);
    EXPECT_DOUBLE_EQ(app->mSfxVolume, 0.29);
    EXPECT_FALSE(app->mIsWindowed);
    EXPECT_TRUE(app->mWaitForVSync);
    EXPECT_EQ(app->mLastVerCheckQueryTime, 99);
    EXPECT_TRUE(app->mLastShutdownWasGraceful);
}

TEST_F(Registry, PlaybackLeavesTheStoreAlone)
{
    ASSERT_TRUE(app->WriteRegistryBool("Is3D", true));
    const std::string before = store->Serialize();
    Buffer demo;
    app->mDemoBuffer = &demo;
    app->mPlayingDemoBuffer = true;
    app->DeleteRegistryValue("Is3D");
    app->WriteRegistryInt("Is3D", 0);
    app->DeleteRegistryKey("Users");
    app->mPlayingDemoBuffer = false;
    app->mDemoBuffer = nullptr;
    EXPECT_EQ(store->Serialize(), before);
}

// ---- The demo records of registry results

TEST(RegistryDemoResult, RoundTripsAtAnyBitPosition)
{
    RegistryDemoResult list;
    list.mSuccess = true;
    list.mNames = {"Adam", "", std::string(300, 'n')};
    RegistryDemoResult read;
    read.mSuccess = true;
    read.mType = Zant::REG_TYPE_SZ;
    read.mData = std::string("Bob\0x", 5);
    RegistryDemoResult ok;
    ok.mSuccess = true;
    RegistryDemoResult failed;

    Buffer stream;
    stream.WriteNumBits(5, 3); // records follow a header of a few bits
    Zant::WriteRegistryDemoResult(stream, Zant::DEMO_REGISTRY_LIST, list);
    Zant::WriteRegistryDemoResult(stream, Zant::DEMO_REGISTRY_READ, read);
    Zant::WriteRegistryDemoResult(stream, Zant::DEMO_REGISTRY_WRITE, ok);
    Zant::WriteRegistryDemoResult(stream, Zant::DEMO_REGISTRY_DELETE_KEY, failed);
    Zant::WriteRegistryDemoResult(stream, Zant::DEMO_REGISTRY_READ, failed);

    stream.ReadNumBits(3, false);
    RegistryDemoResult r;
    ASSERT_TRUE(Zant::ReadRegistryDemoResult(stream, Zant::DEMO_REGISTRY_LIST, r));
    EXPECT_TRUE(r.mSuccess);
    EXPECT_EQ(r.mNames, list.mNames);
    ASSERT_TRUE(Zant::ReadRegistryDemoResult(stream, Zant::DEMO_REGISTRY_READ, r));
    EXPECT_EQ(r.mType, read.mType);
    EXPECT_EQ(r.mData, read.mData);
    ASSERT_TRUE(Zant::ReadRegistryDemoResult(stream, Zant::DEMO_REGISTRY_WRITE, r));
    EXPECT_TRUE(r.mSuccess);
    ASSERT_TRUE(Zant::ReadRegistryDemoResult(stream, Zant::DEMO_REGISTRY_DELETE_KEY, r));
    EXPECT_FALSE(r.mSuccess);
    ASSERT_TRUE(Zant::ReadRegistryDemoResult(stream, Zant::DEMO_REGISTRY_READ, r));
    EXPECT_FALSE(r.mSuccess);
}

TEST(RegistryDemoResult, CountsAndLengthsBeyondTheStreamAreRefused)
{
    Buffer stream;
    stream.WriteNumBits(1, 1);
    stream.WriteLong(1);
    stream.WriteLong(0x7FFFFFFF); // a read of 2 GB claimed
    stream.WriteLong(0);
    RegistryDemoResult r;
    EXPECT_FALSE(Zant::ReadRegistryDemoResult(stream, Zant::DEMO_REGISTRY_READ, r));

    Buffer names;
    names.WriteNumBits(1, 1);
    names.WriteLong(-1); // four billion names claimed
    names.WriteString("one");
    EXPECT_FALSE(Zant::ReadRegistryDemoResult(names, Zant::DEMO_REGISTRY_LIST, r));
    EXPECT_LE(r.mNames.size(), 1u);

    Buffer empty;
    EXPECT_FALSE(Zant::ReadRegistryDemoResult(empty, Zant::DEMO_REGISTRY_WRITE, r));
}

} // namespace
