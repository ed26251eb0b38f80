// The game's files in the working directory: appended diagnostic lines kept under a size, text with CR LF
// line ends (every "\n" becomes CR LF, the format the files have always had), saves that never leave a
// half-written file and survive a power cut once made, files appended to while a game runs, and bounded
// reads of regular files only. Used by every subsystem that reads or writes a file.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace crossfall {

// The system calls by which the game changes its files. Tests put a layer of their own under them, to
// make a write, a sync, a close or a rename fail, or to cut the power and see what the disk keeps.
struct FileSystemCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* bytes, size_t count);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*mkstemp)(char* pattern);
    int (*unlink)(const char* path);
};
// The operating system's own calls, unless a test has put its layer in.
extern FileSystemCalls fileSystemCalls;
FileSystemCalls systemFileCalls();

// Turns every "\n" into CR LF.
std::string toTextMode(std::string_view text);

// Opens the file for appending, writes the line and CR LF, closes it again; failures only lose the line.
// A log that has passed LOG_LIMIT_BYTES is first kept as "<name>.1" (replacing the one before) and starts
// afresh, so no line is ever cut and a player's folder never fills up.
constexpr off_t LOG_LIMIT_BYTES = 8 << 20;
void appendLine(const char* fileName, std::string_view line);
// While quiet, appended lines are not written: a game rebuilt from its journal logged them when it was
// played. Returns whether they were quiet before.
bool setLogsQuiet(bool quiet);

// Replaces the file with text in text mode through a temporary file in the same folder, synced, renamed
// over the old one, then the folder synced: on any failure, a failed sync included, the old file stays
// whole and the result is false. A symbolic link stays a link (its target is replaced) and the old file's
// permissions are kept.
bool saveTextFile(const char* fileName, std::string_view text);
// The same save for bytes written as they are (the journals, the window's place).
bool saveFile(const char* fileName, std::string_view bytes);
// Removes the file and syncs its folder; true when it is gone for good (or was never there).
bool removeFile(const char* fileName);
// Makes the folder (0755) when it is not there, and its parent's entry durable; true when it is a folder now.
bool makeFolder(const char* folderName);
// A regular file of that name is there.
bool isRegularFile(const char* fileName);
// The names of the regular files in the folder, sorted; none when it cannot be read.
std::vector<std::string> folderFileNames(const char* folderName);
// Moves a damaged file out of the way under a name no file has yet ("<name>.damaged", then
// "<name>.damaged-2" and on): nothing is ever deleted. The new name, or nothing when it could not move.
std::optional<std::string> setAsideFile(const char* fileName);

// A file records are appended to while a game runs: opened once, appended to and synced as it goes.
// Each returns false (and says so on stderr, once a file) when the step failed.
int openAppended(const char* fileName);
bool appendBytes(int fd, const char* fileName, std::string_view bytes);
bool syncFile(int fd, const char* fileName);
void closeFile(int fd);

// The file's bytes, at most maxBytes of them (the rest is not read); nothing when it cannot be opened.
// Only a regular file is read: a pipe, a device or a folder of that name is refused at once, said once.
std::optional<std::string> readFile(const char* fileName, std::size_t maxBytes);

// The same, telling apart a file that could not be opened (or is no regular file) from one whose
// reading failed.
enum class FileRead { Done, NotOpened, ReadFailed };
FileRead readRegularFile(const char* fileName, std::size_t maxBytes, std::string& bytes);

} // namespace crossfall
