// The main menu and the options screen driven frame by frame by scripted cursor and keys.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <tuple>

#include "audio/sound.h"
#include "menus/controls_file.h"
#include "menus/main_menu.h"
#include "menus/options_screen.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/main_loop.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "platform/start_up.h"
#include "platform/text.h"
#include "platform/video.h"
#include "rules/game_state.h"

namespace crossfall {
namespace {

// Points inside the options rows used here.
constexpr int ROW_X = 450, ROTATE_CCW_Y = 120, DROP_Y = 190, PREVIEW_Y = 260, MUSIC_Y = 365, FINISH_Y = 485;

// The name and score columns of a best-scores row match the two texts drawn alone on black.
void expectScoreRow(int y, const char* name, const char* total) {
    Surface expected = createSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
    drawText(name, 520, y, rgb(0, 255, 0), expected);
    drawTextRight(total, 700, y, rgb(255, 0, 0), expected);
    for (int row = y - 2; row < y + 18; ++row) {
        const std::size_t at = std::size_t(row) * SCREEN_WIDTH + 510;
        EXPECT_TRUE(
            std::equal(&expected.pixels[at], &expected.pixels[at + 210], null_backend::lastPicture() + at));
    }
}

using Keys = std::initializer_list<int>;
const Keys CLICK = {VK_LBUTTON};

struct MenuScreens : testing::Test {
    void SetUp() override {
        null_backend::reset();
        releaseAllKeys();
        ASSERT_TRUE(startUp());
        resetControlsToDefaults();
        inOptions = showScoreList = obstacleMode = 0;
    }
    // One frame with the cursor moved to (x, y) and these codes held, let go afterwards.
    static int frame(int (*screen)(), int x, int y, Keys held) {
        for (int code : held) setKeyDown(code, true);
        addMouseMotion(x - mouseX, y - mouseY);
        int result = screen();
        for (int code : held) setKeyDown(code, false);
        return result;
    }
    static int menu(int x, int y, Keys held = {}) { return frame(runMainMenu, x, y, held); }
    static int options(int x, int y, Keys held = {}) { return frame(runOptionsScreen, x, y, held); }
};

// ---- Main menu ----

TEST_F(MenuScreens, AnEntryTakesClicksInsideItsExclusiveEdgesOnlyAndTheCursorStaysOnScreen) {
    const std::tuple<int, int, int> clicks[] = {
        {100, 141, 0}, {299, 165, 0}, {99, 150, 1}, {300, 150, 1}, {150, 166, 1}};
    for (const auto& [x, y, stays] : clicks) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        EXPECT_EQ(menu(x, y, CLICK), stays) << "only Resume's rectangle leaves the menu";
    }
    menu(5000, 5000);
    EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(784, 584));
}

TEST_F(MenuScreens, ClickingAModeStartsItAndResumeKeepsTheGameNeitherShowingTheFrame) {
    const std::pair<int, int> cases[] = {{205, MODE_CLASSIC}, {240, MODE_RUBIK}, {280, MODE_4WAY},
                                         {310, MODE_DUOFALL}, {390, MODE_TIME},  {150, -1}};
    for (const auto& [y, mode] : cases) {
        SCOPED_TRACE(y);
        gameMode = -1;
        score = 999;
        EXPECT_EQ(menu(200, y), 1);
        EXPECT_EQ(gameMode, -1) << "hovering alone starts nothing";
        int shown = null_backend::picturesShown();
        EXPECT_EQ(menu(200, y, CLICK), 0);
        EXPECT_EQ(std::pair(gameMode, score), std::pair(mode, mode < 0 ? 999 : 0));
        EXPECT_EQ(null_backend::picturesShown(), shown);
    }
}

TEST_F(MenuScreens, ObstacleModeFlipsOncePerHeldFrameAndReturnFreezesOnlyThePicture) {
    menu(200, 350, CLICK);
    menu(200, 350, CLICK);
    int shown = null_backend::picturesShown();
    menu(200, 350, {VK_LBUTTON, 13});
    EXPECT_EQ(null_backend::picturesShown(), shown);
    EXPECT_EQ(obstacleMode, 1);
    EXPECT_EQ(null_backend::sleptMs(), 450u);
}

TEST_F(MenuScreens, TheBestScoresAreReadAfreshAndTheirLinkHandsOverUntilEscape) {
    menu(0, 0);
    ASSERT_TRUE(writeTextFile("scores_2p.txt", "ABCDEFGHIJKLMNOPQRSTUVWXYZ 77\nBob 30\n"));
    menu(0, 0);
    expectScoreRow(200, "???", "0");
    expectScoreRow(320, "ABCDEFGHI", "77");
    EXPECT_EQ(menu(560, 425, CLICK), 1);
    EXPECT_EQ(showScoreList, 1);
    EXPECT_EQ(menu(560, 425, {27}), 1);
    EXPECT_EQ(showScoreList, 0);
}

TEST_F(MenuScreens, ExitPostsAQuitThatEndsTheLoopBeforeAnyOtherScreen) {
    static int menuPasses = 0;
    menuPasses = 0;
    // Another screen, or a fifth menu pass, ends the loop with 7 instead of hanging.
    const auto other = [] { postQuit(7); };
    LoopScreens screens{[] { return ++menuPasses == 5 ? (postQuit(7), 1) : runMainMenu(); }, other, other,
                        other, [] {}};
    addMouseMotion(200 - mouseX, 480 - mouseY);
    setKeyDown(VK_LBUTTON, true);
    inMenu = 1;
    EXPECT_EQ(runMainLoop(screens), 0);
}

// ---- Options screen ----

TEST_F(MenuScreens, HoveringAKeyRowBindsTheLowestHeldKeyWithItsSideAndNoPause) {
    options(ROW_X, DROP_Y, {251});
    options(ROW_X, PREVIEW_Y, {'A'});
    EXPECT_EQ(keyDrop, 32) << "codes above 250, or keys over a switch row, bind nothing";
    options(ROW_X, DROP_Y, {'B', 'A'});
    options(ROW_X, ROTATE_CCW_Y, {16, 160});
    options(600, 400, {17, 162, 163});
    options(530, 400, {'X'}); // the gap between Left and Right
    EXPECT_EQ(std::tuple(keyDrop, keyRotateCCW, keyLeft, keyRight), std::tuple('A', 160, 37, 162));
    EXPECT_EQ(null_backend::sleptMs(), 0u);
}

TEST_F(MenuScreens, AHeldButtonFlipsSwitchesAndBindsKeysEveryFrame150MsApartAndTheMusicFollowsAtOnce) {
    options(ROW_X, PREVIEW_Y, CLICK);
    EXPECT_EQ(showPiecePreview, 0);
    options(ROW_X, PREVIEW_Y, CLICK);
    options(ROW_X, 472, CLICK); // the advanced switch's strip
    options(ROW_X, 458, CLICK); // just above it
    options(ROW_X, DROP_Y, CLICK);
    EXPECT_EQ(std::tuple(showPiecePreview, advanced4Way, keyDrop), std::tuple(1, 1, VK_LBUTTON));
    EXPECT_EQ(null_backend::sleptMs(), 600u);

    musicSound.buffer = std::make_shared<SampleBuffer>();
    options(ROW_X, MUSIC_Y, CLICK);
    EXPECT_EQ(std::pair(musicOn, musicSound.playing), std::pair(0, false));
    musicSound.position = 5;
    options(ROW_X, MUSIC_Y, CLICK);
    EXPECT_EQ(std::tuple(musicOn, musicSound.playing, musicSound.position), std::tuple(1, true, 0u));
    EXPECT_FALSE(readFile("myControls.txt", 1)) << "nothing saved";
    musicSound = SoundRecord{};
}

TEST_F(MenuScreens, OpeningReadsTheFileEscapeLeavesWithoutSavingFinishingSavesAFailedSaveKeepsTheOldFile) {
    ASSERT_TRUE(writeTextFile("myControls.txt", "65\n66\n"));
    menu(200, 420, CLICK);
    EXPECT_EQ(std::tuple(inOptions, keyRotateCCW, keyRotateCW, mouseX, mouseY),
              std::tuple(1, 65, 66, 400, 100));
    int shown = null_backend::picturesShown();
    options(ROW_X, ROTATE_CCW_Y, {27});
    EXPECT_EQ(std::pair(inOptions, keyRotateCCW), std::pair(0, 27)) << "the frame still binds Escape";
    EXPECT_EQ(null_backend::picturesShown(), shown + 1);
    EXPECT_EQ(readFile("myControls.txt", 99), "65\r\n66\r\n") << "nothing saved";

    inOptions = 1;
    options(ROW_X, FINISH_Y, CLICK);
    EXPECT_EQ(std::pair(inOptions, inMenu), std::pair(0, 1));
    const std::string saved = readFile("myControls.txt", 4096).value_or("");
    EXPECT_EQ(saved.substr(0, 8), "27\r\n66\r\n");

    // A file-size limit makes the write fail part-way, as a full disk would.
    options(ROW_X, DROP_Y, {40});
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit tiny{8, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    options(ROW_X, FINISH_Y, CLICK);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(readFile("myControls.txt", 4096).value_or(""), saved);
    EXPECT_EQ(keyDrop, 32) << "what the file holds is read back";
}

TEST_F(MenuScreens, TheOptionsShowOnlyTheirPanelKeepTheCursorInItAndSurviveALostDisplay) {
    std::fill(frontSurface.pixels.begin(), frontSurface.pixels.end(), 0x1234);
    options(5000, 5000);
    EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(704, 492));
    EXPECT_EQ(std::count(frontSurface.pixels.begin(), frontSurface.pixels.end(), 0x1234),
              SCREEN_WIDTH * SCREEN_HEIGHT - 320 * 400);
    null_backend::loseDisplay();
    options(0, 0);
    EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(50, 50)) << "restoring puts the cursor at (50, 50)";
    EXPECT_FALSE(backSurface.lost);
}

} // namespace
} // namespace crossfall
