// The game's files in the working directory: appended diagnostic lines, text with CR LF line ends
// (every "\n" becomes CR LF, the format the files have always had), saves that never leave a half-written file,
// and bounded whole-file reads. Used by every subsystem that reads or writes a file.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

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
void appendLine(const char* fileName, std::string_view line);

// Creates or replaces the file with text in text mode; false when it could not be written.
bool writeTextFile(const char* fileName, std::string_view text);

// Replaces the file with text in text mode through a temporary file in the same folder renamed over
// the old one: on any failure the old file stays whole and the result is false. A symbolic link stays
// a link (its target is replaced) and the old file's permissions are kept.
bool saveTextFile(const char* fileName, std::string_view text);
// The same save for bytes written as they are (the journals, the window's place).
bool saveFile(const char* fileName, std::string_view bytes);

// The file's bytes, at most maxBytes of them (the rest is not read); nothing when it cannot be opened.
std::optional<std::string> readFile(const char* fileName, std::size_t maxBytes);

// The same for regular files only (a pipe or a device could block or never end), telling apart a
// file that could not be opened (or is no regular file) from one whose reading failed.
enum class FileRead { Done, NotOpened, ReadFailed };
FileRead readRegularFile(const char* fileName, std::size_t maxBytes, std::string& bytes);

} // namespace crossfall
