#pragma once
// Owns every player profile of the installation, knows the default user, and keeps
// the profiles in the settings store (under "Users") and in the players' data files.
#include <set>
#include <string>
#include <vector>

#include "game/shell/HighScoreTables.h"

namespace Zant {

class WinBTApp;
class UserProfile;

class UserProfileMgr {
public:
    explicit UserProfileMgr(WinBTApp* app);
    ~UserProfileMgr();
    UserProfileMgr(const UserProfileMgr&) = delete;
    UserProfileMgr& operator=(const UserProfileMgr&) = delete;

    // Whether the store's program key has a "Users" sub key.
    bool ExistsUserKey();
    // A new profile from the stored values of a user (the caller owns it).
    UserProfile* LoadUserProfileFromRegistry(const std::string& name);
    // Writes the profile's values, and unless registryOnly its data file. enterScore:
    // no game is in progress (a game ended or starts). A save that fails is told once
    // (PROFILE_NOT_SAVED_TEXT) and made whole by the next one; the data file is
    // written only when the store took the values.
    void WriteUserProfileToRegistry(UserProfile* profile, bool enterScore, bool registryOnly);
    // False when the file could not be written (or a refused file stood in its way).
    bool WriteDataToDisk(UserProfile* profile, bool running);
    // Told once while the player's saves fail.
    static const char* const PROFILE_NOT_SAVED_TEXT;

    // The listed profile of that name (any letter case) with its data file read;
    // none when it is missing, its file is missing or damaged, or its user number
    // cannot name its file. A file of an older layout is kept aside and written
    // afresh. A file read and refused is never written over: it is moved aside (as
    // ".bad") by the write that replaces it.
    UserProfile* GetUserProfile(const std::string& name);
    // A user whose data file was lost (none from GetUserProfile) made anew and listed:
    // the store's values are kept, what lived in the file starts afresh, and a file
    // standing where the new one goes is first set aside. An unusable user number
    // gives way to a free one.
    UserProfile* RenewLostProfile(const std::string& name);
    // Whether the profile's number names a file of its own: inside the roster's range
    // and held by no profile listed before it.
    bool HasUsableNumber(const UserProfile* profile) const;
    // The listed profile of that name (any letter case), without reading or writing
    // anything: the check for a name already taken.
    UserProfile* FindUserProfile(const std::string& name) const;
    // Takes ownership; a listed profile of exactly that name is replaced and deleted.
    void AddUserProfile(UserProfile* profile);
    std::string GetDefaultUserName() const { return mDefaultUserName; }
    bool RegisterDefaultUserName(const std::string& name);
    std::string LoadDefaultUserNameFromRegistry();
    int GetDefaultUserNumber();
    int GetFreeUserNumber() const;
    // Deletes the user's store key and files; a user whose key cannot be deleted stays.
    void DeregisterUserProfile(const std::string& name);

    // A name can become a store key and be drawn: not blank, no colour markup ('^'),
    // no key separators ('\', '/').
    static bool IsAcceptableUserName(const std::string& name);

    const std::vector<UserProfile*>& GetProfiles() const { return mProfiles; }

    // ---- The high-score tables.
    // The file holding them, in the per-user data folder.
    static std::string HighScoreFilePath();
    // A copy of a row (0..9) of the abyss or the adventure table.
    HighScoreEntry GetHighScore(bool abyss, int row) const { return mHighScoreTables.Get(abyss, row); }
    // Offers the profile's last recorded game to its table, once per game: a new
    // result takes its row with the rows below moving down, and the tables are saved.
    // The row taken, or -1 (below every row, or offered before). A game's end enters
    // its result through WriteUserProfileToRegistry with enterScore set.
    int EnterResult(UserProfile* profile);
    // Enters one result into the abyss or the adventure table and saves the tables
    // when it took a row. The row taken, or -1.
    int EnterEntry(bool abyss, const HighScoreEntry& entry);
    void SaveHighScores();
    // The default tables, saved.
    void ResetHighScores();
    // Whether the high-score file was found damaged or gone (the player is told once):
    // true the first time it is asked after that.
    bool TakeHighScoresLost();

private:
    // A profile leaves the list: the application must not keep pointing at it.
    void ReleaseProfile(UserProfile* old, UserProfile* replacement);
    // A damaged file of the players' data, kept under a new name beside it; false
    // when it could not be moved (or is not there).
    bool SetFileAside(const std::string& path);
    // Before a file is written: a refused file standing there is set aside. False when
    // it could not be.
    bool ClearWayFor(const std::string& path);
    // Tells the player of a failed save, once until a save succeeds again.
    void NoteSave(bool saved);

    WinBTApp* mApp;
    std::vector<UserProfile*> mProfiles;
    std::string mDefaultUserName;
    // Read at construction; a missing, older or damaged file gives the defaults.
    void LoadHighScores();
    HighScoreTables mHighScoreTables;
    bool mHighScoresLost = false;
    // Data files read and refused (damaged, or of an older layout): kept until moved aside.
    std::set<std::string> mRefusedFiles;
    bool mSaveFailureTold = false;
};

} // namespace Zant
