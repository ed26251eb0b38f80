// The main menu driven frame by frame through the null backend: what it shows, what hovering and
// clicking each entry does, and the best-scores panel read from the score files.
#include "menus/main_menu.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

#include "menus/controls_file.h"
#include "platform/input.h"
#include "platform/main_loop.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "platform/start_up.h"
#include "platform/text.h"
#include "platform/video.h"
#include "rules/game_state.h"

using namespace crossfall;

namespace {

struct Rgb {
    int r, g, b; // 5, 6 and 5 bits
};

Rgb channels(std::uint16_t pixel) { return {pixel >> 11, (pixel >> 5) & 0x3F, pixel & 0x1F}; }

bool anyPixel(const Rect& area, const std::function<bool(Rgb)>& test) {
    const std::uint16_t* picture = null_backend::lastPicture();
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (test(channels(picture[y * SCREEN_WIDTH + x]))) return true;
    return false;
}

bool reddish(Rgb c) { return c.r > 0 && c.g == 0 && c.b == 0; }
bool greenish(Rgb c) { return c.g > 0 && c.r == 0 && c.b == 0; }
bool lit(Rgb c) { return c.r + c.g + c.b > 0; }

constexpr Rect LEFT_PANEL = {100, 100, 300, 500};
constexpr Rect BEST_SCORES_HEADING = {480, 118, 640, 136};

void writeFile(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

struct MainMenuTest : testing::Test {
    void SetUp() override {
        null_backend::reset();
        releaseAllKeys();
        ASSERT_TRUE(startUp());
        mouseX = mouseY = 0;
        inOptions = showScoreList = inScoreEntry = 0;
        obstacleMode = 0;
    }
    void TearDown() override { releaseAllKeys(); }

    // Runs one frame with the cursor moved to (x, y) and the left button as given.
    int frameAt(int x, int y, bool click = false) {
        addMouseMotion(x - mouseX, y - mouseY);
        setKeyDown(VK_LBUTTON, click);
        return runMainMenu();
    }
};

// The area one row of the best-scores panel takes, drawn on its own on a black surface.
Surface expectedScoreRow(int y, const char* name, const char* total) {
    Surface expected = createSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
    drawText(name, 520, y, rgb(0, 255, 0), expected);
    drawTextRight(total, 700, y, rgb(255, 0, 0), expected);
    return expected;
}

// Compares the name and score columns of one panel row with what they should show.
void expectScoreRow(int y, const char* name, const char* total) {
    Surface expected = expectedScoreRow(y, name, total);
    const std::uint16_t* picture = null_backend::lastPicture();
    int differing = 0;
    for (int row = y - 2; row < y + 18; ++row)
        for (int x = 510; x < 720; ++x)
            if (picture[row * SCREEN_WIDTH + x] != expected.pixels[static_cast<std::size_t>(row * SCREEN_WIDTH + x)])
                ++differing;
    EXPECT_EQ(differing, 0) << "row at y " << y << " should show " << name << " and " << total;
}

} // namespace

TEST_F(MainMenuTest, AtStartTheBestScoresShowAndNoEntryIsHighlighted) {
    int shown = null_backend::picturesShown();
    EXPECT_EQ(frameAt(0, 0), 1);
    EXPECT_EQ(null_backend::picturesShown(), shown + 1);
    EXPECT_TRUE(anyPixel(BEST_SCORES_HEADING, lit));
    EXPECT_FALSE(anyPixel(LEFT_PANEL, reddish));
    EXPECT_TRUE(anyPixel(LEFT_PANEL, lit)) << "the nine labels are drawn";
}

TEST_F(MainMenuTest, HoverFollowsTheExclusiveBottomEdge) {
    // Resume spans y 141..165; at 166 the pointer is in the gap below it.
    frameAt(150, 166);
    EXPECT_TRUE(anyPixel(BEST_SCORES_HEADING, lit));
    EXPECT_FALSE(anyPixel(LEFT_PANEL, reddish));

    frameAt(150, 165);
    EXPECT_FALSE(anyPixel(BEST_SCORES_HEADING, lit)) << "a hovered entry replaces the best scores";
    EXPECT_TRUE(anyPixel({100, 141, 300, 166}, reddish)) << "hovered label in red";
    EXPECT_TRUE(anyPixel({100, 156, 300, 175}, greenish)) << "subtitle in green";

    frameAt(99, 150);
    EXPECT_TRUE(anyPixel(BEST_SCORES_HEADING, lit)) << "x 99 is left of every entry";
}

TEST_F(MainMenuTest, TheCursorStaysOnScreen) {
    frameAt(-2000, -2000);
    EXPECT_EQ(mouseX, 0);
    EXPECT_EQ(mouseY, 0);
    addMouseMotion(5000, 5000);
    runMainMenu();
    EXPECT_EQ(mouseX, 784);
    EXPECT_EQ(mouseY, 584);
}

TEST_F(MainMenuTest, ClickingAModeStartsItWithoutShowingTheFrame) {
    struct ModeEntry {
        int y;
        int mode;
    };
    for (ModeEntry entry : {ModeEntry{205, MODE_CLASSIC}, ModeEntry{240, MODE_RUBIK}, ModeEntry{280, MODE_4WAY},
                            ModeEntry{310, MODE_DUOFALL}, ModeEntry{390, MODE_TIME}}) {
        gameMode = -1;
        score = 999;
        int shown = null_backend::picturesShown();
        EXPECT_EQ(frameAt(200, entry.y, true), 0) << "mode " << entry.mode;
        EXPECT_EQ(gameMode, entry.mode);
        EXPECT_EQ(score, 0) << "a new game starts from nothing";
        EXPECT_EQ(null_backend::picturesShown(), shown) << "the highlighted frame is never shown";
        EXPECT_EQ(inMenu, 1) << "the menu leaves the flag to the loop";
    }
}

TEST_F(MainMenuTest, HoveringAModeWithoutClickStartsNothing) {
    gameMode = MODE_DUOFALL;
    score = 77;
    EXPECT_EQ(frameAt(200, 205), 1);
    EXPECT_EQ(gameMode, MODE_DUOFALL);
    EXPECT_EQ(score, 77);
}

TEST_F(MainMenuTest, ResumeLeavesTheGameUntouched) {
    gameMode = MODE_4WAY;
    score = 1234;
    level = 3;
    int shown = null_backend::picturesShown();
    EXPECT_EQ(frameAt(200, 150, true), 0);
    EXPECT_EQ(gameMode, MODE_4WAY);
    EXPECT_EQ(score, 1234);
    EXPECT_EQ(level, 3);
    EXPECT_EQ(null_backend::picturesShown(), shown);
}

TEST_F(MainMenuTest, ObstacleModeFlipsOncePerHeldFrameWithItsPause) {
    constexpr Rect STATUS_LINE = {400, 463, 720, 482};
    frameAt(200, 350);
    EXPECT_EQ(obstacleMode, 0);
    EXPECT_TRUE(anyPixel(STATUS_LINE, reddish)) << "DISABLED in red";
    EXPECT_EQ(null_backend::sleptMs(), 0u);

    EXPECT_EQ(frameAt(200, 350, true), 1);
    EXPECT_EQ(obstacleMode, 1);
    EXPECT_EQ(null_backend::sleptMs(), 150u);
    EXPECT_TRUE(anyPixel(STATUS_LINE, reddish)) << "the status line is drawn before the click";

    frameAt(200, 350, true);
    EXPECT_EQ(obstacleMode, 0) << "a held button flips again on the next frame";
    EXPECT_EQ(null_backend::sleptMs(), 300u);

    frameAt(200, 350, true);
    frameAt(200, 350);
    EXPECT_EQ(obstacleMode, 1);
    EXPECT_TRUE(anyPixel(STATUS_LINE, greenish)) << "ENABLED in green";
    EXPECT_FALSE(anyPixel(STATUS_LINE, reddish));
}

TEST_F(MainMenuTest, ControlsOptionsReloadsTheControlsAndMovesTheCursor) {
    constexpr Rect HINT_LINES = {400, 268, 720, 322};
    frameAt(200, 420);
    EXPECT_TRUE(anyPixel(HINT_LINES, lit)) << "hint lines while hovered";
    EXPECT_EQ(inOptions, 0);

    writeFile("myControls.txt", "65\r\n66\r\n");
    EXPECT_EQ(frameAt(200, 420, true), 1);
    EXPECT_EQ(keyRotateCCW, 65);
    EXPECT_EQ(keyRotateCW, 66);
    EXPECT_EQ(inOptions, 1);
    EXPECT_EQ(mouseX, 400);
    EXPECT_EQ(mouseY, 100);
    EXPECT_FALSE(anyPixel(HINT_LINES, lit)) << "no hint lines on the click's frame";
}

TEST_F(MainMenuTest, ReturnFreezesThePictureButClicksStillWork) {
    setKeyDown(13, true);
    int shown = null_backend::picturesShown();
    EXPECT_EQ(frameAt(200, 350, true), 1);
    EXPECT_EQ(null_backend::picturesShown(), shown);
    EXPECT_EQ(obstacleMode, 1);
    setKeyDown(13, false);
    frameAt(0, 0);
    EXPECT_EQ(null_backend::picturesShown(), shown + 1);
}

TEST_F(MainMenuTest, BestScoresComeFromEachFileOnItsOwn) {
    writeFile("scores_rubik.txt", "Alice 500\r\nBob 300\r\n");
    writeFile("scores_4way.txt", std::string("\xff\x00\x13garbage\x01\x02", 12));
    writeFile("scores_2p.txt", "ABCDEFGHIJKLMNOPQRSTUVWXYZ 77\r\n");
    writeFile("scores_time.txt", "Zed notanumber\r\n");
    frameAt(0, 0);
    expectScoreRow(200, "???", "0");       // no file
    expectScoreRow(240, "Alice", "500");   // first row of the file is the best
    expectScoreRow(320, "ABCDEFGHI", "77"); // long names cut, the score still read
    expectScoreRow(360, "Zed", "0");       // a name without a score
}

TEST_F(MainMenuTest, ANewBestScoreShowsOnTheNextFrame) {
    frameAt(0, 0);
    expectScoreRow(200, "???", "0");
    writeFile("scores_classic.txt", "Kim 4200\r\n");
    frameAt(0, 0);
    expectScoreRow(200, "Kim", "4200");
}

TEST_F(MainMenuTest, TheScoreListLinkHandsOverTheNextFrames) {
    frameAt(560, 425);
    EXPECT_TRUE(anyPixel({400, 418, 720, 435}, [](Rgb c) { return c.b > 0 && c.r > 0; })) << "light blue when hovered";
    EXPECT_EQ(showScoreList, 0);

    int shown = null_backend::picturesShown();
    EXPECT_EQ(frameAt(560, 425, true), 1);
    EXPECT_EQ(showScoreList, 1);
    EXPECT_EQ(null_backend::picturesShown(), shown + 1) << "the click's frame is still shown";

    setKeyDown(VK_LBUTTON, false);
    setKeyDown(27, true);
    EXPECT_EQ(runMainMenu(), 1);
    EXPECT_EQ(showScoreList, 0) << "Escape on the list goes back to the menu";
}

TEST_F(MainMenuTest, ALostDisplayIsRepairedAndTheFrameGoesOn) {
    frameAt(300, 300);
    null_backend::loseDisplay();
    int shown = null_backend::picturesShown();
    EXPECT_EQ(runMainMenu(), 1);
    EXPECT_EQ(null_backend::picturesShown(), shown + 1);
    EXPECT_EQ(mouseX, 50) << "restoring puts the cursor at (50, 50)";
    EXPECT_EQ(mouseY, 50);
}

TEST_F(MainMenuTest, ExitPostsAQuitThatEndsTheLoopWithCodeZero) {
    static int gameSteps = 0;
    static int shutDowns = 0;
    gameSteps = shutDowns = 0;
    LoopScreens screens{runMainMenu, [] {}, [] {}, [] { ++gameSteps; }, [] { ++shutDowns; }};
    addMouseMotion(200, 480);
    setKeyDown(VK_LBUTTON, true);
    inMenu = 1;
    EXPECT_EQ(runMainLoop(screens), 0);
    EXPECT_EQ(inMenu, 0);
    EXPECT_EQ(gameSteps, 0) << "the quit is taken before the next screen";
    EXPECT_EQ(shutDowns, 1);
}
