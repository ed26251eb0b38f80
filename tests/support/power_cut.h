// A disk that knows what a power cut keeps. Put under the file functions (platform/files.h), it lets
// every call through to the real files in the working directory and follows beside them what is durable:
// a file's bytes once the file is synced, the folder's names once the folder is synced. survivors() gives
// the files a power cut would leave now, with a random part of what was appended and not yet synced.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "platform/files.h"

namespace crossfall::power_cut {

struct File {
    std::string written; // every byte written, in order
    std::string synced;  // the bytes the last sync made durable
};

struct Disk {
    std::map<int, File> files;                       // by a number of their own
    std::map<std::string, int> names, durableNames; // the folder now, and as it was last synced
    std::map<int, int> open;                         // descriptor: file, or -1 for the folder
    int nextFile = 0;
    std::mt19937 draw{1};
    void (*beforeSync)() = nullptr; // told before every sync, rename and removal
};
inline Disk disk;

inline void tell() {
    if (disk.beforeSync != nullptr) disk.beforeSync();
}

inline int fileNamed(const std::string& name) {
    if (!disk.names.contains(name)) disk.names[name] = disk.nextFile++;
    return disk.names[name];
}

// Starts following the working directory as it is now: all of it durable.
inline void start(std::uint32_t seed) {
    disk = Disk{};
    disk.draw.seed(seed);
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        if (!entry.is_regular_file()) continue;
        std::ostringstream bytes;
        bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
        File& f = disk.files[fileNamed(entry.path().filename())];
        f.written = f.synced = bytes.str();
    }
    disk.durableNames = disk.names;
    FileSystemCalls calls = systemFileCalls();
    calls.open = [](const char* path, int flags, mode_t mode) {
        const int fd = ::open(path, flags, mode);
        if (fd >= 0) disk.open[fd] = (flags & O_DIRECTORY) != 0 ? -1 : fileNamed(std::filesystem::path(path).filename());
        if (fd >= 0 && (flags & O_TRUNC) != 0) disk.files[disk.open[fd]].written.clear();
        return fd;
    };
    calls.mkstemp = [](char* pattern) {
        const int fd = ::mkstemp(pattern);
        if (fd >= 0) disk.open[fd] = fileNamed(std::filesystem::path(pattern).filename());
        return fd;
    };
    calls.write = [](int fd, const void* bytes, size_t count) {
        const ssize_t done = ::write(fd, bytes, count);
        if (done > 0) disk.files[disk.open[fd]].written.append(static_cast<const char*>(bytes), std::size_t(done));
        return done;
    };
    calls.fsync = [](int fd) {
        tell();
        if (disk.open[fd] < 0)
            disk.durableNames = disk.names;
        else
            disk.files[disk.open[fd]].synced = disk.files[disk.open[fd]].written;
        return ::fsync(fd);
    };
    calls.close = [](int fd) {
        disk.open.erase(fd);
        return ::close(fd);
    };
    calls.rename = [](const char* from, const char* to) {
        tell();
        const int result = ::rename(from, to);
        if (result == 0) {
            disk.names[std::filesystem::path(to).filename()] = disk.names[std::filesystem::path(from).filename()];
            disk.names.erase(std::filesystem::path(from).filename());
        }
        return result;
    };
    calls.unlink = [](const char* path) {
        tell();
        const int result = ::unlink(path);
        if (result == 0) disk.names.erase(std::filesystem::path(path).filename());
        return result;
    };
    fileSystemCalls = calls;
}

inline void stop() { fileSystemCalls = systemFileCalls(); }

// The files a power cut now would leave: each durable name with its synced bytes, and of bytes appended to
// them since, a random part.
inline std::map<std::string, std::string> survivors() {
    std::map<std::string, std::string> left;
    for (const auto& [name, number] : disk.durableNames) {
        const File& f = disk.files[number];
        std::string bytes = f.synced;
        if (f.written.size() > f.synced.size() && f.written.starts_with(f.synced))
            bytes = f.written.substr(0, f.synced.size() + disk.draw() % (f.written.size() - f.synced.size() + 1));
        left[name] = bytes;
    }
    return left;
}

} // namespace crossfall::power_cut
