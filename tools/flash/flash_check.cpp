// Plays journals headless with the shipped sprites drawn and prints each one's flash figures; exits
// with 1 when any goes past three flashes in a second. Usage: flash_check DATA_DIR JOURNAL...
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/game_frames.h"
#include "app/start_up.h"
#include "flash/flash_meter.h"

namespace fs = std::filesystem;
using namespace crossfall;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: flash_check DATA_DIR JOURNAL...\n");
        return 2;
    }
    std::error_code error;
    const fs::path data = fs::absolute(argv[1]);
    const fs::path work = fs::temp_directory_path() / ("crossfall-flash-" + std::to_string(::getpid()));
    fs::create_directories(work);
    for (const auto& entry : fs::directory_iterator(data))
        if (entry.path().extension() == ".bmp") fs::copy_file(entry.path(), work / entry.path().filename());
    std::vector<fs::path> journals;
    for (int k = 2; k < argc; ++k) journals.push_back(fs::absolute(argv[k]));
    fs::current_path(work);
    int code = startUp() ? 0 : 2;
    for (const fs::path& file : journals) {
        std::optional<Journal> journal = loadReplay(file.string());
        if (!journal || code == 2) {
            code = 2;
            continue;
        }
        const flash::Figures f = flash::measureReplay(std::move(*journal));
        std::printf("%s: %ld pictures; general: %d flashes in the worst second (%d transitions over a counting area, "
                    "ending at %.0f ms), largest area %.1f %% of a 10-degree field; red: %d flashes (%d), largest area "
                    "%.1f %%\n",
                    file.filename().c_str(), f.pictures, flash::flashes(f.generalTransitions), f.generalTransitions,
                    f.worstGeneralAtMs, 100 * f.largestGeneralArea, flash::flashes(f.redTransitions), f.redTransitions,
                    100 * f.largestRedArea);
        const int worst = flash::flashes(std::max(f.generalTransitions, f.redTransitions));
        if (worst > flash::MOST_FLASHES_A_SECOND) code = std::max(code, 1);
    }
    fs::current_path(data);
    fs::remove_all(work, error);
    return code;
}
