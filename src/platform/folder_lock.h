// One copy of the game per folder: an advisory lock held on a file in the working directory for the
// whole run, released by the system when the process ends however it ends. The shell takes it first.
#pragma once

namespace crossfall {

// The name of the file the lock is held on.
constexpr const char* FOLDER_LOCK_FILE = ".crossfall.lock";

// Takes the folder's lock for the rest of the run; false when another copy holds it. A folder where
// the lock file cannot be made is locked through the folder itself.
bool lockGameFolder();

} // namespace crossfall
