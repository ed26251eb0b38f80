// Text files of the game: CR LF line ends, appended log lines, and saves through a temporary file.
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <string>
#include <unistd.h>

namespace crossfall {

FileSystemCalls systemFileCalls() {
    return {[](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }, ::write, ::fsync,
            ::close, ::rename, ::mkstemp, ::unlink};
}

FileSystemCalls fileSystemCalls = systemFileCalls();

namespace {

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

void appendLine(const char* fileName, std::string_view line) {
    std::string bytes(line);
    bytes += "\r\n";
    int fd = fileSystemCalls.open(fileName, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    writeAll(fd, bytes);
    fileSystemCalls.close(fd);
}

bool writeTextFile(const char* fileName, std::string_view text) {
    int fd = fileSystemCalls.open(fileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = writeAll(fd, toTextMode(text));
    return fileSystemCalls.close(fd) == 0 && ok;
}

bool saveTextFile(const char* fileName, std::string_view text) { return saveFile(fileName, toTextMode(text)); }

bool saveFile(const char* fileName, std::string_view bytes) {
    const std::string target = saveTarget(fileName);
    std::string temporary = target + ".tmp-XXXXXX";
    int fd = fileSystemCalls.mkstemp(temporary.data());
    if (fd < 0) return false;
    // The new file keeps the old one's permissions; a first save gets 0644.
    struct stat old {};
    ::fchmod(fd, ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    bool ok = writeAll(fd, bytes) && fileSystemCalls.fsync(fd) == 0;
    ok = fileSystemCalls.close(fd) == 0 && ok;
    if (ok && fileSystemCalls.rename(temporary.c_str(), target.c_str()) == 0) return true;
    fileSystemCalls.unlink(temporary.c_str());
    return false;
}

std::optional<std::string> readFile(const char* fileName, std::size_t maxBytes) {
    int fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string bytes;
    bool ok = readUpTo(fd, maxBytes, bytes);
    ::close(fd);
    if (!ok) return std::nullopt;
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
