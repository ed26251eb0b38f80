// "settings.txt" in the player's config folder: read strictly at start-up, a damaged file ignored
// with one line on stderr, saved at every flip of a menu switch, a failed save keeping the old file.
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
#include "play/race_view.h"

namespace crossfall {
namespace {

namespace fs = std::filesystem;

std::string settingsPath() {
    return std::string(std::getenv("XDG_CONFIG_HOME")) + "/crossfall/settings.txt";
}

TEST(SettingsFile, OnlyStrictLinesOfTheTwoKeysAreReadAndAnythingElseLeavesTheSwitchesOffSayingSo) {
    fs::create_directories(fs::path(settingsPath()).parent_path());
    // The file (none when null), the switches read (symbols, race), and whether it is said to be damaged.
    const std::tuple<const char*, int, int, bool> files[] = {
        {nullptr, 0, 0, false},
        {"block-symbols=1\n", 1, 0, false},
        {"block-symbols=0\r\n", 0, 0, false},
        {"# mine\n\nblock-symbols=1", 1, 0, false},
        {"", 0, 0, false},
        {"race-your-best=1\n", 0, 1, false},
        {"race-your-best=1\r\nblock-symbols=1\r\n", 1, 1, false},
        {"block-symbols=2\n", 0, 0, true},
        {"block-symbols=-1\n", 0, 0, true},
        {"race-your-best=2\nblock-symbols=1\n", 0, 0, true},
        {"block-symbols=1\nblock-symbols=1\n", 0, 0, true},
        {"race-your-best=1\nrace-your-best=1\n", 0, 0, true},
        {"symbols=1\n", 0, 0, true},
        {"block-symbols=1x\n", 0, 0, true},
        {"block-symbols=\n", 0, 0, true},
        {" block-symbols=1\n", 0, 0, true},
    };
    for (const auto& [text, symbols, race, damaged] : files) {
        fs::remove(settingsPath());
        if (text != nullptr) {
            ASSERT_TRUE(saveFile(settingsPath().c_str(), text));
        }
        blockSymbols = raceYourBest = 7;
        testing::internal::CaptureStderr();
        loadSettings();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::tuple(blockSymbols, raceYourBest, said),
                  std::tuple(symbols, race,
                             damaged ? "Crossfall: " + settingsPath() +
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

TEST(SettingsFile, TheMenuSwitchesFlipSaveAtOnceAndAFailedSaveKeepsTheOldFileAndTheSwitch) {
    null_backend::reset();
    ASSERT_TRUE(startUp());
    releaseAllKeys();
    const auto click = [](int x, int y) {
        addMouseMotion(x - mouseX, y - mouseY);
        setKeyDown(VK_LBUTTON, true);
        runMainMenu();
        setKeyDown(VK_LBUTTON, false);
        clearKeyPresses();
    };
    constexpr int SYMBOLS_X = 200, SYMBOLS_Y = 450, RACE_X = 560, RACE_Y = 455;
    const std::tuple<int, int, const char*> clicks[] = {
        {SYMBOLS_X, SYMBOLS_Y, "block-symbols=1\nrace-your-best=0\n"},
        {RACE_X, RACE_Y, "block-symbols=1\nrace-your-best=1\n"},
        {SYMBOLS_X, SYMBOLS_Y, "block-symbols=0\nrace-your-best=1\n"},
        {RACE_X, RACE_Y, "block-symbols=0\nrace-your-best=0\n"}};
    for (const auto& [x, y, text] : clicks) {
        click(x, y);
        EXPECT_EQ(std::tuple(blockSymbols, raceYourBest, readFile(settingsPath().c_str(), 99)),
                  std::tuple(text[14] - '0', text[31] - '0', std::optional<std::string>(text)))
            << text;
    }
    EXPECT_EQ(null_backend::sleptMs(), 600u) << "150 ms a flip, as the obstacle switch";
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit tiny{8, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    click(SYMBOLS_X, SYMBOLS_Y);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(std::pair(blockSymbols, readFile(settingsPath().c_str(), 99)),
              std::pair(1, std::optional<std::string>("block-symbols=0\nrace-your-best=0\n")));
    ASSERT_TRUE(startUp());
    EXPECT_EQ(blockSymbols, 0) << "the next start reads what the file holds";
}

} // namespace
} // namespace crossfall
