// "settings.txt" in the player's config folder: read strictly at start-up, a damaged file ignored
// with one line on stderr, saved at every flip of the menu's switch, a failed save keeping the old file.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

#include "app/start_up.h"
#include "menus/main_menu.h"
#include "menus/settings_file.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "play/field_drawing.h"

namespace crossfall {
namespace {

namespace fs = std::filesystem;

std::string settingsPath() {
    return std::string(std::getenv("XDG_CONFIG_HOME")) + "/crossfall/settings.txt";
}

TEST(SettingsFile, OnlyStrictLinesOfTheOneKeyAreReadAndAnythingElseLeavesTheSwitchOffSayingSo) {
    fs::create_directories(fs::path(settingsPath()).parent_path());
    // The file (none when null), the switch read, and whether it is said to be damaged.
    const std::tuple<const char*, int, bool> files[] = {
        {nullptr, 0, false},
        {"block-symbols=1\n", 1, false},
        {"block-symbols=0\r\n", 0, false},
        {"# mine\n\nblock-symbols=1", 1, false},
        {"", 0, false},
        {"block-symbols=2\n", 0, true},
        {"block-symbols=-1\n", 0, true},
        {"block-symbols=1\nblock-symbols=1\n", 0, true},
        {"symbols=1\n", 0, true},
        {"block-symbols=1x\n", 0, true},
        {"block-symbols=\n", 0, true},
        {" block-symbols=1\n", 0, true},
    };
    for (const auto& [text, symbols, damaged] : files) {
        fs::remove(settingsPath());
        if (text != nullptr) {
            ASSERT_TRUE(saveFile(settingsPath().c_str(), text));
        }
        blockSymbols = 7;
        testing::internal::CaptureStderr();
        loadSettings();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::pair(blockSymbols, said), std::pair(symbols, damaged ? "Crossfall: " + settingsPath() +
                                                                                  " is damaged and is ignored; the "
                                                                                  "settings start as new\n"
                                                                            : std::string()))
            << (text != nullptr ? text : "none");
    }
    // 4096 bytes are read; one more and the file is too large to be one of ours.
    for (const std::size_t size : {4096, 4097}) {
        ASSERT_TRUE(saveFile(settingsPath().c_str(), "block-symbols=1\n" + std::string(size - 17, '#') + "\n"));
        testing::internal::CaptureStderr();
        loadSettings();
        EXPECT_EQ(std::pair(blockSymbols, testing::internal::GetCapturedStderr().empty()),
                  std::pair(size == 4096 ? 1 : 0, size == 4096));
    }
}

TEST(SettingsFile, TheMenuSwitchFlipsSavesAtOnceAndAFailedSaveKeepsTheOldFileAndTheSwitch) {
    null_backend::reset();
    ASSERT_TRUE(startUp());
    releaseAllKeys();
    const auto click = [] {
        addMouseMotion(200 - mouseX, 450 - mouseY);
        setKeyDown(VK_LBUTTON, true);
        runMainMenu();
        setKeyDown(VK_LBUTTON, false);
        clearKeyPresses();
    };
    click();
    EXPECT_EQ(std::pair(blockSymbols, readFile(settingsPath().c_str(), 99)),
              std::pair(1, std::optional<std::string>("block-symbols=1\n")));
    click();
    EXPECT_EQ(std::pair(blockSymbols, readFile(settingsPath().c_str(), 99)),
              std::pair(0, std::optional<std::string>("block-symbols=0\n")));
    EXPECT_EQ(null_backend::sleptMs(), 300u) << "150 ms a flip, as the obstacle switch";
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit tiny{8, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    click();
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(std::pair(blockSymbols, readFile(settingsPath().c_str(), 99)),
              std::pair(1, std::optional<std::string>("block-symbols=0\n")));
    ASSERT_TRUE(startUp());
    EXPECT_EQ(blockSymbols, 0) << "the next start reads what the file holds";
}

} // namespace
} // namespace crossfall
