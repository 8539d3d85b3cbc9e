#pragma once
// Where things live: the program's folder (read-only data beside the executable)
// and the per-user data folder (settings store, users folder, instance lock).
#include <cstdint>
#include <cstdio>
#include <string>

namespace Platform {

// Folder of the running executable, from /proc/self/exe at full length.
// Returns false (and leaves folder empty) when it cannot be read.
bool ProgramFolder(std::string& folder);

// $PLINDOR_HOME, else $XDG_DATA_HOME/plindor, else ~/.local/share/plindor.
// Created on first use.
std::string UserDataFolder();

// Makes every missing folder of path; true when it exists afterwards.
bool MakeFolders(const std::string& path);

// Game paths use backslashes; the file system uses slashes.
std::string ToNativePath(const std::string& gamePath);

// Reads a whole file (a game path: backslashes allowed) of at most maxBytes; false,
// with out empty, when it is missing, not a regular file, unreadable or larger.
bool ReadWholeFile(const std::string& gamePath, std::string& out, size_t maxBytes = SIZE_MAX);

// Opens a file for reading in binary mode when it is a regular file, without waiting
// on a FIFO or a device standing in its place; null otherwise (errno says why: EINVAL
// for what is not a regular file).
std::FILE* OpenRegularFile(const std::string& gamePath);
// The same as a descriptor (close-on-exec), with the file's size when size is given;
// -1 otherwise.
int OpenRegularFileDescriptor(const std::string& gamePath, uint64_t* size = nullptr);
// Writes all length bytes to fd, again after a signal cuts a write short; false when a
// write fails. Safe in a signal handler (it only calls write).
bool WriteAll(int fd, const char* text, size_t length);

// True when path is a folder itself, not a symbolic link to one.
bool IsRealFolder(const std::string& path);
// True when anything stands at path, a dangling symbolic link included.
bool PathTaken(const std::string& path);
// Creates path, or empties the file there, for writing ("wb"); null when it fails or
// when path is a symbolic link, which is never followed.
std::FILE* CreateFileNoFollow(const std::string& path);

// Writes data to path atomically: a temporary file in the same folder
// ("<path>.tmp-<pid>", made afresh: whatever stood there, a link included, is removed
// first and never written through), flushed, renamed over the old one, and the folder synced so
// that the rename itself survives a power cut. On failure the old file is left whole.
bool WriteFileAtomic(const std::string& path, const void* data, size_t size);
inline bool WriteFileAtomic(const std::string& path, const std::string& data)
{
    return WriteFileAtomic(path, data.data(), data.size());
}

// Removes the temporary files of WriteFileAtomic for path that a process killed
// during a write left behind; those of processes still running are kept, as they
// may be writing now. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& path);
// The same for every file of a folder.
int RemoveStaleTemporariesIn(const std::string& folder);

// Moves a file aside under the first free name of path + suffix, path + suffix + "2",
// "3", ..., never replacing a file, and gives that name. False when path is missing
// or cannot be moved.
bool SetFileAside(const std::string& path, const std::string& suffix, std::string& asidePath);

} // namespace Platform
