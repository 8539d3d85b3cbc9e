#include "game/shell/UserProfileMgr.h"

#include <algorithm>
#include <utility>

#include "framework/util/Buffer.h"
#include "framework/util/StringUtil.h"
#include "game/shell/SelectUserDialog.h"
#include "game/profile/UserProfile.h"
#include "game/shell/WinBTApp.h"
#include "platform/Log.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"

namespace Zant {

UserProfileMgr::UserProfileMgr(WinBTApp* app) : mApp(app)
{
    ProfileLog(mApp, "UserProfileMgr::UserProfileMgr");
    // A process killed while saving a player's file leaves its temporary file behind.
    if (!mApp->mPlayingDemoBuffer) {
        const std::string users = Platform::UserDataFolder() + "/users";
        if (const int stale = Platform::RemoveStaleTemporariesIn(users); stale > 0)
            Platform::DebugOutput("UserProfileMgr: removed " + std::to_string(stale) +
                                  " leftover temporary file(s) in " + users + "\n");
    }
    if (ExistsUserKey()) {
        std::vector<std::string> names;
        if (mApp->ListRegistrySubKeys("Users", names))
            for (const std::string& name : names)
                mProfiles.push_back(LoadUserProfileFromRegistry(name));
    }
    mDefaultUserName = LoadDefaultUserNameFromRegistry();
    LoadHighScores();
}

UserProfileMgr::~UserProfileMgr()
{
    for (UserProfile* profile : mProfiles)
        ReleaseProfile(profile, nullptr);
    mProfiles.clear();
    mDefaultUserName.clear();
}

void UserProfileMgr::ReleaseProfile(UserProfile* old, UserProfile* replacement)
{
    if (old == replacement)
        return;
    if (mApp->mCurProfile == old)
        mApp->mCurProfile = replacement;
    delete old;
}

bool UserProfileMgr::ExistsUserKey()
{
    ProfileLog(mApp, "UserProfileMgr::ExistsUserKey");
    std::vector<std::string> keys;
    if (!mApp->ListRegistrySubKeys("", keys)) {
        mApp->ShowMessage("There was an error reading from the registry.");
        return false;
    }
    return std::find(keys.begin(), keys.end(), "Users") != keys.end();
}

UserProfile* UserProfileMgr::LoadUserProfileFromRegistry(const std::string& name)
{
    ProfileLog(mApp, "UserProfileMgr::LoadUserProfileFromRegistry: " + name);
    const std::string prefix = "Users\\" + name + "\\";
    auto number = [&](const char* value, int def) {
        std::string text;
        return mApp->ReadRegistryString(prefix + value, text) ? ParseStoredInt(text) : def;
    };
    auto flag = [&](const std::string& value, bool def) {
        bool b = def;
        return mApp->ReadRegistryBool(prefix + value, b) ? b : def;
    };

    const int userNumber = number("UserNumber", 0);
    const int seed = number("Seed", 0);
    const int bestDepth = number("AnnoDomini", 0);
    const int sharks = number("NumSharksKilled", 0);
    const int piranhas = number("NumPiranhasKilled", 0);
    const int bosses = number("NumBossesKilled", 0);
    const int lastLesson = number("LastLesson", 0);
    const int abyssSharks = number("NumAbyssSharksKilled", 0);
    const int abyssPiranhas = number("NumAbyssPiranhasKilled", 0);
    const int lastLevel = number("NBTL", 0);
    const bool spacePauses = flag("SpacePauses", false);
    const int piranhasRun = number("PKTR", 0);
    const int sharksRun = number("SKTR", 0);
    const int expeditions = number("NGC", 0);
    const bool expeditionOpen = flag("RNGC", true);
    number("SeenTutorial", 0); // read for the demo's sake; reading a profile always sets the flag
    const int abyssBoss = number("AbyssBoss", -1);

    ProfileLog(mApp, "UserProfileMgr::WriteUserProfileToRegistry:new profile made for " + name);
    auto* profile = new UserProfile(mApp, name, userNumber, bestDepth, seed, sharks, piranhas, abyssSharks,
                                    abyssPiranhas);
    profile->SetAbyssBoss(abyssBoss);
    profile->mLastLesson = lastLesson;
    profile->SetLastLevel(lastLevel);
    profile->SetSpaceToPause(spacePauses);
    profile->SetSharkKillsRun(sharksRun);
    profile->SetPiranhaKillsRun(piranhasRun);
    profile->mExpeditions = expeditions;
    profile->mExpeditionOpen = expeditionOpen;

    profile->mMapHintShown = flag("svm", false);
    for (int kind = 0; kind < UserProfile::NUM_TREASURE_KINDS; ++kind)
        profile->mTreasures[size_t(kind)] = number(FormatString("GTT%d", kind).c_str(), profile->mTreasures[size_t(kind)]);
    for (int kind = 0; kind < UserProfile::NUM_SECRET_KINDS; ++kind)
        profile->mSecretItems[size_t(kind)] =
            number(FormatString("SGTT%d", kind).c_str(), profile->mSecretItems[size_t(kind)]);
    for (int site = 0; site < UserProfile::NUM_SITES; ++site)
        profile->mSiteFlags[size_t(site)] = flag(FormatString("vl%d", site), false);
    if (bosses > 0)
        profile->mNumBossesKilled += bosses;
    profile->mLastDifficulty = number("vd", 0);
    profile->mSeenTutorial = true;
    for (int slot = 0; slot < UserProfile::NUM_WPM; ++slot)
        profile->mWpm[size_t(slot)] = number(FormatString("WPM%d", slot).c_str(), profile->mWpm[size_t(slot)]);
    // A damaged store must not put the ring's index outside the ring.
    const int index = number("LastWPMIndex", profile->mLastWpmIndex);
    if (index >= 0 && index < UserProfile::NUM_WPM)
        profile->mLastWpmIndex = index;
    return profile;
}

void UserProfileMgr::WriteUserProfileToRegistry(UserProfile* profile, bool enterScore, bool registryOnly)
{
    ProfileLog(mApp, FormatString("UserProfileMgr::WriteUserProfileToRegistry: %d, %d", enterScore ? 1 : 0,
                                  registryOnly ? 1 : 0));
    if (profile == nullptr || !IsAcceptableUserName(profile->mName))
        return;
    EnsureDefaultUserValue(mApp, profile->mName);

    // One write of the store for all of them: a process killed part way must not
    // leave a profile half old and half new.
    mApp->BeginRegistryBatch();
    const std::string prefix = profile->KeyPrefix();
    auto number = [&](const std::string& value, int n) { mApp->WriteRegistryString(prefix + value, std::to_string(n)); };
    auto flag = [&](const std::string& value, bool b) { mApp->WriteRegistryBool(prefix + value, b); };

    mApp->WriteRegistryString(prefix + "Version", mApp->mProductVersion);
    number("UserNumber", profile->mUserNumber);
    number("Seed", profile->mSeed);
    number("AnnoDomini", profile->mBestDepth);
    number("NumSharksKilled", profile->mNumSharksKilled);
    number("NumPiranhasKilled", profile->mNumPiranhasKilled);
    number("NumBossesKilled", profile->mNumBossesKilled);
    number("LastLesson", profile->mLastLesson);
    number("NumAbyssSharksKilled", profile->mNumAbyssSharksKilled);
    number("NumAbyssPiranhasKilled", profile->mNumAbyssPiranhasKilled);
    // The profile's own value, which the last save set: the level configuration in
    // use now may be none at all, or another game's.
    number("NBTL", profile->mLastLevel);
    flag("SpacePauses", profile->mSpacePauses);
    number("PKTR", profile->mPiranhaKillsRun);
    number("SKTR", profile->mSharkKillsRun);
    for (int slot = 0; slot < UserProfile::NUM_WPM; ++slot)
        number(FormatString("WPM%d", slot), profile->mWpm[size_t(slot)]);
    number("LastWPMIndex", profile->mLastWpmIndex);
    number("SeenTutorial", profile->mSeenTutorial ? 1 : 0);
    number("AbyssBoss", profile->mAbyssBoss);
    number("NGC", profile->mExpeditions);
    flag("RNGC", profile->mExpeditionOpen);
    for (int kind = 0; kind < UserProfile::NUM_TREASURE_KINDS; ++kind)
        number(FormatString("GTT%d", kind), profile->mTreasures[size_t(kind)]);
    for (int kind = 0; kind < UserProfile::NUM_SECRET_KINDS; ++kind)
        number(FormatString("SGTT%d", kind), profile->mSecretItems[size_t(kind)]);
    for (int site = 0; site < UserProfile::NUM_SITES; ++site)
        flag(FormatString("vl%d", site), profile->mSiteFlags[size_t(site)]);
    number("vd", profile->mLastDifficulty);
    flag("svm", profile->mMapHintShown);
    // A store that cannot write its file (a full disk) undoes the batch; the data
    // file then stays as it is too, so that the two still hold the same save. A demo
    // played back takes the outcome the recorded run met.
    bool stored = mApp->EndRegistryBatch();
    mApp->DemoSyncByte(stored);

    // A file that missed a save catches up at the next one, even one for the store only.
    bool saved = stored;
    if (!registryOnly || profile->mDataFileBehind) {
        saved = stored && WriteDataToDisk(profile, !enterScore);
        profile->mDataFileBehind = !saved;
    }
    if (!registryOnly && enterScore)
        EnterResult(profile);
    NoteSave(saved);
}

bool UserProfileMgr::WriteDataToDisk(UserProfile* profile, bool running)
{
    ProfileLog(mApp, FormatString("UserProfileMgr::WriteDataToDisk: %d", running ? 1 : 0));
    // Such a number would name another player's file, or none of ours.
    if (!HasUsableNumber(profile))
        return true;
    Buffer buffer;
    profile->WriteData(buffer, running);
    const std::string path = UserDataFilePath(profile->mUserNumber);
    return ClearWayFor(path) && mApp->SaveBufferToFile(path, buffer);
}

const char* const UserProfileMgr::PROFILE_NOT_SAVED_TEXT =
    "Your saved data could not be written.\nThe disk may be full or read-only.\nThe game will try again at "
    "its next save.";

void UserProfileMgr::NoteSave(bool saved)
{
    if (saved) {
        mSaveFailureTold = false;
        return;
    }
    Platform::DebugOutput("UserProfileMgr: the profile could not be saved\n");
    // Once while the saves keep failing: every level start would ask again.
    if (std::exchange(mSaveFailureTold, true) || mApp->mPlayingDemoBuffer)
        return;
    Platform::MessageBoxRequest box;
    box.title = "Error";
    box.text = PROFILE_NOT_SAVED_TEXT;
    box.icon = Platform::BoxIcon::Warning;
    Platform::ShowMessageBox(box);
    // The time the box stood open is not played through afterwards: a dive saves
    // every 400 ft while the creatures swim.
    mApp->ResetFrameClock();
}

UserProfile* UserProfileMgr::FindUserProfile(const std::string& name) const
{
    const std::string wanted = ToUpperCopy(name);
    for (UserProfile* profile : mProfiles)
        if (ToUpperCopy(profile->mName) == wanted)
            return profile;
    return nullptr;
}

UserProfile* UserProfileMgr::GetUserProfile(const std::string& name)
{
    UserProfile* profile = FindUserProfile(name);
    if (profile == nullptr)
        return nullptr;
    if (!HasUsableNumber(profile)) {
        ProfileLog(mApp, FormatString("Refused user number %d of %s", profile->mUserNumber, profile->mName.c_str()));
        return nullptr;
    }
    const std::string path = UserDataFilePath(profile->mUserNumber);
    switch (profile->LoadDataFromDisk()) {
    case StoredFileState::Read:
        break;
    case StoredFileState::Missing:
        // Under this version the file should be there.
        if (mApp->mProductVersion == profile->mVersion)
            return nullptr;
        WriteUserProfileToRegistry(profile, false, false);
        break;
    case StoredFileState::Old:
        // Written afresh under this version; the old file is kept beside the new one.
        mRefusedFiles.insert(path);
        WriteUserProfileToRegistry(profile, false, false);
        break;
    case StoredFileState::Damaged:
        // The player's only copy: whatever writes this file next moves it aside first
        // (RenewLostProfile, when the player is told).
        mRefusedFiles.insert(path);
        return nullptr;
    }
    profile->mSeed = static_cast<int>(mApp->GetGameRandom().Next());
    return profile;
}

UserProfile* UserProfileMgr::RenewLostProfile(const std::string& name)
{
    UserProfile* listed = FindUserProfile(name);
    UserProfile* profile = nullptr;
    if (listed != nullptr) {
        profile = LoadUserProfileFromRegistry(listed->mName);
        profile->mUserNumber = HasUsableNumber(listed) ? listed->mUserNumber : GetFreeUserNumber();
    } else {
        profile = new UserProfile(mApp);
        profile->mName = name;
        profile->mUserNumber = GetFreeUserNumber();
    }
    // Whatever stands where the new file goes is kept.
    mRefusedFiles.insert(UserDataFilePath(profile->mUserNumber));
    AddUserProfile(profile);
    WriteUserProfileToRegistry(profile, false, false);
    return profile;
}

bool UserProfileMgr::HasUsableNumber(const UserProfile* profile) const
{
    // Numbers are handed out lowest free first: n players never need one above n, and
    // the roster holds five.
    const int n = profile->mUserNumber;
    const size_t range = std::max<size_t>(SelectUserDialog::MAX_PLAYERS, mProfiles.size() + 1);
    if (n < 0 || static_cast<size_t>(n) >= range)
        return false;
    for (const UserProfile* listed : mProfiles) {
        if (listed == profile)
            return true;
        if (listed->mUserNumber == n)
            return false;
    }
    return true;
}

bool UserProfileMgr::SetFileAside(const std::string& path)
{
    // A demo played back leaves the player's files as they are.
    if (mApp->mPlayingDemoBuffer)
        return false;
    std::string aside;
    if (!Platform::SetFileAside(path, ".bad", aside))
        return false;
    Platform::DebugOutput("UserProfileMgr: kept " + path + " as " + aside + "\n");
    return true;
}

bool UserProfileMgr::ClearWayFor(const std::string& path)
{
    auto refused = mRefusedFiles.find(path);
    if (refused == mRefusedFiles.end())
        return true;
    // A refused file that cannot be moved is not written over: the save fails and the
    // next one tries again. Playback takes the recorded outcome.
    bool clear = !mApp->mPlayingDemoBuffer && (SetFileAside(path) || !Platform::PathTaken(path));
    mApp->DemoSyncByte(clear);
    if (clear)
        mRefusedFiles.erase(refused);
    return clear;
}

void UserProfileMgr::AddUserProfile(UserProfile* profile)
{
    if (profile == nullptr)
        return;
    for (UserProfile*& listed : mProfiles) {
        if (listed->mName == profile->mName) {
            ReleaseProfile(listed, profile);
            listed = profile;
            return;
        }
    }
    mProfiles.push_back(profile);
}

bool UserProfileMgr::RegisterDefaultUserName(const std::string& name)
{
    ProfileLog(mApp, "UserProfileMgr::RegisterDefaultUserName: " + name);
    for (UserProfile* profile : mProfiles) {
        if (profile->mName == name) {
            if (!mApp->WriteRegistryString(DEFAULT_USER_VALUE, name))
                return false;
            mDefaultUserName = name;
            return true;
        }
    }
    return false;
}

std::string UserProfileMgr::LoadDefaultUserNameFromRegistry()
{
    ProfileLog(mApp, "UserProfileMgr::LoadDefaultUserNameFromRegistry");
    std::string name;
    if (mApp->ReadRegistryString(DEFAULT_USER_VALUE, name) && !name.empty())
        return name;
    for (UserProfile* profile : mProfiles)
        if (RegisterDefaultUserName(profile->mName))
            return profile->mName;
    return "";
}

int UserProfileMgr::GetDefaultUserNumber()
{
    ProfileLog(mApp, "UserProfileMgr::GetDefaultUserNumber");
    int number = GetFreeUserNumber();
    if (!mDefaultUserName.empty()) {
        UserProfile* temporary = LoadUserProfileFromRegistry(mDefaultUserName);
        number = temporary->mUserNumber;
        delete temporary;
    }
    return number;
}

int UserProfileMgr::GetFreeUserNumber() const
{
    for (int number = 0;; ++number) {
        const bool used = std::any_of(mProfiles.begin(), mProfiles.end(),
                                      [number](const UserProfile* p) { return p->mUserNumber == number; });
        if (!used)
            return number;
    }
}

void UserProfileMgr::DeregisterUserProfile(const std::string& name)
{
    ProfileLog(mApp, "UserProfileMgr::DeregisterUserProfile: " + name);
    if (!ExistsUserKey())
        return;
    for (auto it = mProfiles.begin(); it != mProfiles.end();) {
        UserProfile* profile = *it;
        if (profile->mName != name || !mApp->DeleteRegistryKey("Users\\" + name)) {
            ++it;
            continue;
        }
        if (HasUsableNumber(profile)) {
            mApp->DeleteFileUnlessReplaying(UserDataFilePath(profile->mUserNumber));
            mApp->DeleteFileUnlessReplaying(UserDataFilePath(profile->mUserNumber, ".idx"));
        }
        ReleaseProfile(profile, nullptr);
        it = mProfiles.erase(it);
    }
    // Nobody is left to be the default user: a name kept in the store would come back
    // at the next start as a lost profile, and the menu would greet it.
    if (mProfiles.empty() && !mDefaultUserName.empty()) {
        mApp->DeleteRegistryValue(DEFAULT_USER_VALUE);
        mDefaultUserName.clear();
    }
}

// ---- The high-score tables.

std::string UserProfileMgr::HighScoreFilePath() { return Platform::UserDataFolder() + "/users/user.idx"; }

void UserProfileMgr::LoadHighScores()
{
    const std::string path = HighScoreFilePath();
    Buffer buffer;
    StoredFileState state = StoredFileState::Missing;
    if (mApp->LoadFileToBuffer(path, buffer)) {
        ProfileLog(mApp, FormatString("HS buffer size = %d", buffer.GetDataLen()));
        state = mHighScoreTables.Read(buffer);
    }
    switch (state) {
    case StoredFileState::Read:
        return;
    case StoredFileState::Old:
        break;
    case StoredFileState::Missing:
        // Every start writes the tables, so players without them have lost them; an
        // unreadable file (a folder, say) goes aside so that the new one can be made.
        mHighScoresLost = !mProfiles.empty();
        SetFileAside(path);
        break;
    case StoredFileState::Damaged:
        // Rows of zeros and empty names would stand in the tables for good: the
        // defaults take their place. The profiles' files are not touched.
        ProfileLog(mApp, "Warning: the high-score file " + path + " is damaged; default tables restored");
        mHighScoresLost = true;
        SetFileAside(path);
        break;
    }
    ResetHighScores();
}

void UserProfileMgr::SaveHighScores()
{
    ProfileLog(mApp, "UserProfileMgr::SaveHighScores");
    // The draw comes before the write: later game randomness depends on it.
    const int filler = HighScoreTables::Filler(mApp->GetGameRandom().Next());
    Buffer buffer;
    mHighScoreTables.Write(buffer, mApp->mProductVersion, filler);
    mApp->SaveBufferToFile(HighScoreFilePath(), buffer);
}

void UserProfileMgr::ResetHighScores()
{
    mHighScoreTables.SetDefaults();
    SaveHighScores();
}

bool UserProfileMgr::TakeHighScoresLost() { return std::exchange(mHighScoresLost, false); }

int UserProfileMgr::EnterResult(UserProfile* profile)
{
    // The same game is offered again at every later game start: it counts once.
    if (profile == nullptr || profile->mResultEntered)
        return -1;
    profile->mResultEntered = true;
    const bool abyss = profile->mMode == -1;
    const HighScoreEntry entry = abyss ? HighScoreEntry{profile->mDepth, -1, profile->mName, -1}
                                       : HighScoreEntry{profile->mScore, profile->mMode, profile->mName, profile->mLevel};
    return EnterEntry(abyss, entry);
}

int UserProfileMgr::EnterEntry(bool abyss, const HighScoreEntry& entry)
{
    const int row = mHighScoreTables.Enter(abyss, entry);
    if (row >= 0)
        SaveHighScores();
    return row;
}

bool UserProfileMgr::IsAcceptableUserName(const std::string& name)
{
    return !TrimCopy(name).empty() && name.find_first_of("^\\/") == std::string::npos;
}

} // namespace Zant
