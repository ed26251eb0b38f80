// The folder lock: flock on the lock file (or on the folder), kept open until the process ends.
#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace crossfall {

bool lockGameFolder() {
    // Opening an existing lock file changes nothing in it: a refused copy leaves every file as it was.
    int fd = ::open(FOLDER_LOCK_FILE, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) fd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true; // nothing to lock on: nothing here can be saved either
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true; // held, with fd, until the process ends
    ::close(fd);
    return false;
}

} // namespace crossfall
