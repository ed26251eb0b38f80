// Text files of the game: CR LF line ends, appended log lines kept under a size, durable saves through a
// temporary file, files appended to while a game runs, and bounded reads of regular files only.
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace crossfall {

FileSystemCalls systemFileCalls() {
    return {[](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }, ::write, ::fsync,
            ::close, ::rename, ::mkstemp, ::unlink};
}

FileSystemCalls fileSystemCalls = systemFileCalls();

namespace {

bool logsQuiet = false; // only while a game is rebuilt

// Each kind of trouble with a file is told once a run: a save that fails every time says so once.
void tellOnce(const std::string& fileName, const std::string& trouble) {
    static std::set<std::string> told; // once per run
    if (told.insert(fileName + '\n' + trouble).second)
        std::fprintf(stderr, "crossfall: %s: %s\n", fileName.c_str(), trouble.c_str());
}

// Why the last system call failed, for a message.
std::string because() { return std::string(" (") + std::strerror(errno) + ")"; }

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = fileSystemCalls.write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file a save replaces: the end of a chain of symbolic links, so that the links stay links.
std::string saveTarget(const char* fileName) {
    std::string path = fileName;
    for (int hop = 0; hop < 40; ++hop) {
        char link[4096];
        const ssize_t length = ::readlink(path.c_str(), link, sizeof link);
        if (length <= 0 || static_cast<std::size_t>(length) == sizeof link) return path;
        const std::string_view target(link, static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        // A relative link is read from the folder that holds it.
        const bool relative = target.front() != '/' && slash != std::string::npos;
        path = (relative ? path.substr(0, slash + 1) : std::string()) + std::string(target);
    }
    return path;
}

// Makes the folder's entries durable: a rename or a removal survives a power cut only once this is done.
bool syncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = fileSystemCalls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool synced = fileSystemCalls.fsync(fd) == 0;
    return fileSystemCalls.close(fd) == 0 && synced;
}

bool isRegular(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// A log open for appending; one past the limit is first kept as "<name>.1" and started afresh.
int openLog(const char* fileName) {
    for (bool startedAfresh = false;; startedAfresh = true) {
        // Not blocking: a pipe of that name with no reader must not hold up the game.
        const int fd = fileSystemCalls.open(fileName, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0644);
        if (fd < 0) return tellOnce(fileName, "cannot be written; its lines are lost" + because()), -1;
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            fileSystemCalls.close(fd);
            return tellOnce(fileName, "is no regular file; its lines are lost"), -1;
        }
        if (startedAfresh || info.st_size < LOG_LIMIT_BYTES) return fd;
        fileSystemCalls.close(fd);
        if (fileSystemCalls.rename(fileName, (std::string(fileName) + ".1").c_str()) != 0)
            return tellOnce(fileName, "is full and cannot be renamed; its lines are lost" + because()), -1;
    }
}

// Appends at most maxBytes from the descriptor; false on a read error.
bool readUpTo(int fd, std::size_t maxBytes, std::string& bytes) {
    char chunk[4096];
    while (bytes.size() < maxBytes) {
        std::size_t want = std::min(sizeof chunk, maxBytes - bytes.size());
        ssize_t got = ::read(fd, chunk, want);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    return true;
}

} // namespace

std::string toTextMode(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    // Whole lines at a time: this runs for every save and in every fuzz run.
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos; text.remove_prefix(end + 1)) {
        out.append(text.substr(0, end));
        out += "\r\n";
    }
    out.append(text);
    return out;
}

bool setLogsQuiet(bool quiet) {
    return std::exchange(logsQuiet, quiet);
}

void appendLine(const char* fileName, std::string_view line) {
    if (logsQuiet) return;
    std::string bytes(line);
    bytes += "\r\n";
    const int fd = openLog(fileName);
    if (fd < 0) return;
    if (!writeAll(fd, bytes)) tellOnce(fileName, "cannot be written; its lines are lost" + because());
    fileSystemCalls.close(fd);
}

bool saveTextFile(const char* fileName, std::string_view text) { return saveFile(fileName, toTextMode(text)); }

bool saveFile(const char* fileName, std::string_view bytes) {
    const std::string target = saveTarget(fileName);
    std::string temporary = target + ".tmp-XXXXXX";
    int fd = fileSystemCalls.mkstemp(temporary.data());
    if (fd < 0) return tellOnce(fileName, "not saved" + because()), false;
    // The new file keeps the old one's permissions; a first save gets 0644.
    struct stat old {};
    ::fchmod(fd, ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    bool ok = writeAll(fd, bytes) && fileSystemCalls.fsync(fd) == 0;
    ok = fileSystemCalls.close(fd) == 0 && ok;
    if (ok && fileSystemCalls.rename(temporary.c_str(), target.c_str()) == 0) {
        // Until the folder is synced, a power cut can bring the old file back: that is no save yet.
        if (syncFolderOf(target)) return true;
        tellOnce(fileName, "not saved for good" + because());
        return false;
    }
    tellOnce(fileName, "not saved" + because());
    fileSystemCalls.unlink(temporary.c_str());
    return false;
}

bool removeFile(const char* fileName) {
    if (fileSystemCalls.unlink(fileName) != 0 && errno != ENOENT) return tellOnce(fileName, "not removed" + because()), false;
    if (syncFolderOf(fileName)) return true;
    return tellOnce(fileName, "not removed for good" + because()), false;
}

bool makeFolder(const char* folderName) {
    struct stat info {};
    if (::stat(folderName, &info) == 0) return S_ISDIR(info.st_mode);
    if (::mkdir(folderName, 0755) != 0 && errno != EEXIST)
        return tellOnce(folderName, "cannot be made" + because()), false;
    // The new folder's name must survive a power cut as the files saved in it do.
    return syncFolderOf(std::string(folderName)) ||
           (tellOnce(folderName, "not made for good" + because()), false);
}

bool isRegularFile(const char* fileName) {
    struct stat info {};
    return ::stat(fileName, &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::string> folderFileNames(const char* folderName) {
    std::vector<std::string> names;
    DIR* folder = ::opendir(folderName);
    if (folder == nullptr) return names;
    const std::string prefix = std::string(folderName) + "/";
    for (const dirent* entry = ::readdir(folder); entry != nullptr; entry = ::readdir(folder)) {
        struct stat info {};
        if (::lstat((prefix + entry->d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.emplace_back(entry->d_name);
    }
    ::closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> setAsideFile(const char* fileName) {
    for (int n = 1; n < 1000; ++n) {
        std::string name = fileName;
        name.append(".damaged");
        if (n > 1) name.append("-").append(std::to_string(n));
        struct stat taken {};
        if (::lstat(name.c_str(), &taken) == 0) continue;
        if (fileSystemCalls.rename(fileName, name.c_str()) != 0 || !syncFolderOf(name)) break;
        return name;
    }
    tellOnce(fileName, "cannot be set aside" + because());
    return std::nullopt;
}

int openAppended(const char* fileName) {
    const int fd = fileSystemCalls.open(fileName, O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd >= 0 && isRegular(fd)) return fd;
    if (fd < 0) return tellOnce(fileName, "cannot be written" + because()), -1;
    fileSystemCalls.close(fd);
    return tellOnce(fileName, "is no regular file and is not written"), -1;
}

bool appendBytes(int fd, const char* fileName, std::string_view bytes) {
    if (writeAll(fd, bytes)) return true;
    return tellOnce(fileName, "cannot be written" + because()), false;
}

bool syncFile(int fd, const char* fileName) {
    if (fileSystemCalls.fsync(fd) == 0) return true;
    return tellOnce(fileName, "not saved for good" + because()), false;
}

void closeFile(int fd) { fileSystemCalls.close(fd); }

std::optional<std::string> readFile(const char* fileName, std::size_t maxBytes) {
    std::string bytes;
    if (readRegularFile(fileName, maxBytes, bytes) != FileRead::Done) return std::nullopt;
    return bytes;
}

FileRead readRegularFile(const char* fileName, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    // Not blocking: opening a pipe for reading would otherwise wait for a writer.
    int fd = ::open(fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return FileRead::NotOpened;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        tellOnce(fileName, "is no regular file and is not read");
        return FileRead::NotOpened;
    }
    // One allocation of the size the file has now, rather than a growing string.
    bytes.reserve(std::min(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)), maxBytes));
    bool ok = readUpTo(fd, maxBytes, bytes);
    ::close(fd);
    if (ok) return FileRead::Done;
    bytes.clear();
    return FileRead::ReadFailed;
}

} // namespace crossfall
