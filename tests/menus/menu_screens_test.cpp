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
#include "rules/game_state.h"
#include "support/picture.h"

namespace crossfall {
namespace {

constexpr int ROW_X = 450, ROTATE_CCW_Y = 120, DROP_Y = 190, PREVIEW_Y = 260, MUSIC_Y = 365, FINISH_Y = 485;

// The name and score columns of a best-scores row match the two texts drawn alone on black.
void expectScoreRow(int y, const char* name, const char* total) {
    Surface expected = createSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
    drawText(name, 520, y, rgb(0, 255, 0), expected);
    drawTextRight(total, 700, y, rgb(255, 0, 0), expected);
    for (std::size_t at = std::size_t(y - 2) * SCREEN_WIDTH + 510; at < std::size_t(y + 18) * SCREEN_WIDTH;
         at += SCREEN_WIDTH)
        EXPECT_TRUE(
            std::equal(&expected.pixels[at], &expected.pixels[at + 210], null_backend::lastPicture() + at));
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

TEST_F(MenuScreens, AnEntryTakesClicksInsideItsExclusiveEdgesOnlyAndTheCursorStaysOnScreen) {
    const std::tuple<int, int, int, int> clicks[] = {
        {100, 141, 0, -1},         {299, 165, 0, -1},        {99, 150, 1, -1},
        {300, 150, 1, -1},         {150, 166, 1, -1},        {200, 205, 0, MODE_CLASSIC},
        {200, 240, 0, MODE_RUBIK}, {200, 280, 0, MODE_4WAY}, {200, 310, 0, MODE_DUOFALL},
        {200, 390, 0, MODE_TIME}};
    for (const auto& [x, y, stays, mode] : clicks) {
        gameMode = -1;
        EXPECT_EQ(menu(x, y), 1) << "hovering alone starts nothing at " << x << "," << y;
        EXPECT_EQ(menu(x, y, CLICK), stays) << x << "," << y;
        EXPECT_EQ(gameMode, mode) << x << "," << y;
    }
    menu(5000, 5000);
    EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(784, 584));
}

TEST_F(MenuScreens, ObstacleModeFlipsOncePerHeldFrameAndReturnFreezesOnlyThePicture) {
    menu(200, 350, CLICK);
    EXPECT_EQ(obstacleMode, 1);
    int shown = null_backend::picturesShown();
    menu(200, 350, {VK_LBUTTON, 13});
    EXPECT_EQ(std::tuple(obstacleMode, null_backend::picturesShown(), null_backend::sleptMs()),
              std::tuple(0, shown, 300u));
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
    const auto wrong = [] { postQuit(7); };
    LoopScreens screens{[] { return runMainMenu() == 0 ? 0 : (postQuit(7), 1); }, wrong, wrong, wrong, [] {}};
    addMouseMotion(200 - mouseX, 480 - mouseY);
    setKeyDown(VK_LBUTTON, true);
    EXPECT_EQ(runMainLoop(screens), 0);
}

TEST_F(MenuScreens, HoveringAKeyRowBindsTheLowestHeldKeyWithItsSideAndNoPause) {
    options(ROW_X, DROP_Y, {'B', 'A'});
    options(ROW_X, DROP_Y, {251});
    options(ROW_X, DROP_Y + 35, {250, 251}); // the highest code the scan takes
    options(ROW_X, PREVIEW_Y, {'A'});
    options(ROW_X, ROTATE_CCW_Y, {16, 160});
    options(600, 400, {17, 162, 163});
    options(530, 400, {'X'}); // the gap between Left and Right
    EXPECT_EQ(std::tuple(keyDrop, keyHurry, keyRotateCCW, keyLeft, keyRight, showPiecePreview, null_backend::sleptMs()),
              std::tuple('A', 250, 160, 37, 162, 1, 0u));
}

TEST_F(MenuScreens, AHeldButtonFlipsSwitchesAndBindsKeysEveryFrame150MsApartAndTheMusicFollowsAtOnce) {
    options(ROW_X, PREVIEW_Y, CLICK);
    EXPECT_EQ(showPiecePreview, 0);
    options(ROW_X, PREVIEW_Y, CLICK);
    options(ROW_X, 472, CLICK); // the advanced switch's strip
    options(ROW_X, 458, CLICK); // just above it
    options(ROW_X, DROP_Y, CLICK);
    EXPECT_EQ(std::tuple(showPiecePreview, advanced4Way, keyDrop, null_backend::sleptMs()),
              std::tuple(1, 1, VK_LBUTTON, 600u));

    musicSound.buffer = std::make_shared<SampleBuffer>();
    options(ROW_X, MUSIC_Y, CLICK);
    EXPECT_EQ(std::pair(musicOn, musicSound.playing), std::pair(0, false));
    options(ROW_X, MUSIC_Y, CLICK);
    EXPECT_EQ(std::pair(musicOn, musicSound.playing), std::pair(1, true));
    musicSound = SoundRecord{};
}

TEST_F(MenuScreens, OpeningReadsTheFileEscapeLeavesWithoutSavingFinishingSavesAFailedSaveKeepsTheOldFile) {
    ASSERT_TRUE(writeTextFile("myControls.txt", "65\n66\n"));
    menu(200, 420, CLICK);
    EXPECT_EQ(std::tuple(inOptions, keyRotateCCW, keyRotateCW, mouseX, mouseY),
              std::tuple(1, 65, 66, 400, 100));
    options(ROW_X, ROTATE_CCW_Y, {27});
    EXPECT_EQ(std::pair(inOptions, keyRotateCCW), std::pair(0, 27)) << "the frame still binds Escape";
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
    EXPECT_EQ(std::tuple(mouseX, mouseY, backSurface.lost), std::tuple(50, 50, false));
}

// Each region lights up for the cursor exactly inside it (its first and last pixel, not the next one out,
// where the cursor can reach) and shows a picture of its own; the cursor is invisible after the first frame.
void expectRegions(int (*screen)(), std::initializer_list<std::tuple<Rect, std::uint64_t>> regions,
                   const char* name) {
    const auto at = [screen](int x, int y) {
        addMouseMotion(x - mouseX, y - mouseY);
        screen();
        return std::pair(picture::digest(null_backend::lastPicture()), mouseX == x && mouseY == y);
    };
    std::fill(bitmap(Bitmap::Mouse).pixels.begin(), bitmap(Bitmap::Mouse).pixels.end(), 0);
    for (const auto& [r, want] : regions) {
        at(r.left, r.top);
        picture::expectPicture(null_backend::lastPicture(), want, name + std::to_string(r.left + r.top));
        EXPECT_EQ(at(r.right - 1, r.bottom - 1).first, want) << r.top;
        for (const auto& [got, reached] : {at(r.left, r.top - 1), at(r.right - 1, r.bottom)})
            EXPECT_TRUE(got != want || !reached) << r.top;
    }
}

TEST_F(MenuScreens, EveryEntryAndTheScoresPanelShowTheirWholePictureExactlyOverTheirRectangles) {
    picture::paintBitmaps();
    ASSERT_TRUE(writeTextFile("scores_rubik.txt", "Ann 1234\n"));
    menu(330, 150);
    picture::expectPicture(null_backend::lastPicture(), 0x391dd392ef7959d9, "menu-idle");
    expectRegions(runMainMenu,
                  {{{100, 141, 300, 166}, 0xa0d47eeddc0e7caa},
                   {{100, 193, 300, 218}, 0x4a882bf2fb0845df},
                   {{100, 230, 300, 255}, 0x7e199ca68307635e},
                   {{100, 266, 300, 291}, 0x71f76a8f7d9dcf0c},
                   {{100, 302, 300, 327}, 0x7745ad122daa0150},
                   {{100, 339, 300, 364}, 0x2da3532d07faa04},
                   {{100, 377, 300, 402}, 0x456aeb767b13d201},
                   {{100, 412, 300, 437}, 0x401679aaa4391cd0},
                   {{100, 466, 300, 491}, 0x2de5e6bfd35b9f8e},
                   {{400, 418, 720, 435}, 0x5dfb09717d0f89d9}},
                  "menu-");
}

TEST_F(MenuScreens, EveryOptionsRowShowsItsWholePictureExactlyOverItsRectangle) {
    picture::paintBitmaps();
    keyBindings[5] = 250; // no name: "?"
    showGridPreview = musicOn = 0;
    options(400, 100);
    picture::expectPicture(null_backend::lastPicture(), 0xd2c679a7b4f0285e, "options-idle");
    expectRegions(runOptionsScreen,
                  {{{400, 113, 720, 129}, 0x4adc4bb10b9c31d0},
                   {{400, 148, 720, 164}, 0x17d18a4f03c46f14},
                   {{400, 183, 720, 199}, 0xce83e2099a22a2b5},
                   {{400, 218, 720, 234}, 0x43d103fafc781aed},
                   {{400, 253, 720, 269}, 0x1d44dbb4f6eddd4},
                   {{400, 288, 720, 304}, 0xf66a60e3342fd3e8},
                   {{400, 323, 720, 339}, 0xe15d19ab51fcfa2f},
                   {{400, 358, 720, 374}, 0x955a4ef342dfddfb},
                   {{400, 395, 520, 409}, 0xe6cd55d9b4f3a6e2},
                   {{540, 395, 660, 409}, 0x613c9486a65a3273},
                   {{400, 430, 520, 444}, 0x1d1363a3d3a8a31e},
                   {{540, 430, 660, 444}, 0xef32ed318e3021f2},
                   {{400, 459, 720, 473}, 0x95f3c9b9af7d6533},
                   {{400, 477, 720, 494}, 0x6a8e33c829db142f}},
                  "options-");
}

} // namespace
} // namespace crossfall
