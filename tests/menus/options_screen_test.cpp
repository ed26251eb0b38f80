// The options screen driven frame by frame through the null backend: rebinding by hovering,
// switches under a held button, saving and reading back, and what reaches the screen.
#include "menus/options_screen.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>

#include "audio/sound.h"
#include "menus/controls_file.h"
#include "menus/key_names.h"
#include "platform/bitmaps.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "platform/text.h"
#include "platform/video.h"

using namespace crossfall;

namespace {

constexpr int ESCAPE = 27;
constexpr int UP_ARROW = 38;
// A point inside each row used here.
constexpr int ROW_X = 450;
constexpr int ROTATE_CCW_Y = 120;
constexpr int DROP_Y = 190;
constexpr int PREVIEW_Y = 260;
constexpr int MUSIC_Y = 365;
constexpr int FINISH_Y = 485;

struct OptionsScreen : testing::Test {
    void SetUp() override {
        null_backend::reset();
        releaseAllKeys();
        initInput();
        ASSERT_TRUE(initVideo());
        createAndLoadBitmaps();
        createFont();
        measureCharWidths(frontSurface);
        resetControlsToDefaults();
        inMenu = 1;
        inOptions = 1;
        // Where the menu puts the cursor when it opens this screen.
        mouseX = 400;
        mouseY = 100;
    }
    void TearDown() override { releaseAllKeys(); }

    void frameAt(int x, int y) {
        addMouseMotion(x - mouseX, y - mouseY);
        runOptionsScreen();
    }
    // One frame at (x, y) with these keys held, let go afterwards.
    void pressOver(int x, int y, std::initializer_list<int> codes) {
        for (int code : codes) setKeyDown(code, true);
        frameAt(x, y);
        releaseAllKeys();
    }
};

std::string controlsFile() {
    return readFile("myControls.txt", 4096).value_or("<missing>");
}

int pixelsOfColor(const Surface& surface, const Rect& area, std::uint32_t color) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += surface.pixels[static_cast<std::size_t>(y * surface.width + x)] == color;
    return count;
}

} // namespace

// ---- Rebinding ----

TEST_F(OptionsScreen, HoveringAKeyRowRebindsItToTheHeldKeyWithoutAClick) {
    frameAt(ROW_X, DROP_Y);
    EXPECT_EQ(keyDrop, 32) << "nothing held keeps the binding";
    pressOver(ROW_X, DROP_Y, {UP_ARROW});
    EXPECT_EQ(keyDrop, UP_ARROW);
    pressOver(ROW_X, PREVIEW_Y, {'A'});
    EXPECT_EQ(keyDrop, UP_ARROW) << "a key held over a switch row binds nothing";

    pressOver(ROW_X, ROTATE_CCW_Y, {16, 160});
    EXPECT_EQ(keyRotateCCW, 160);
    pressOver(600, 400, {17, 163});
    EXPECT_EQ(keyRight, 163);
    pressOver(530, 400, {'X'}); // the gap between Left and Right
    EXPECT_EQ(keyLeft, 37);
    EXPECT_EQ(keyRight, 163);
    EXPECT_EQ(leftCtrlHeld + rightCtrlHeld + leftShiftHeld + rightShiftHeld, 0);
    EXPECT_EQ(null_backend::sleptMs(), 0u);
}

TEST_F(OptionsScreen, ClickingAKeyRowBindsTheLeftButtonAndPausesEachFrame) {
    setKeyDown(VK_LBUTTON, true);
    frameAt(ROW_X, DROP_Y);
    frameAt(ROW_X, DROP_Y);
    EXPECT_EQ(keyDrop, VK_LBUTTON);
    EXPECT_EQ(null_backend::sleptMs(), 300u);
}

// ---- Switches ----

TEST_F(OptionsScreen, AHeldButtonFlipsTheHoveredSwitchEveryFrame150MsApart) {
    setKeyDown(VK_LBUTTON, true);
    for (int frame = 1; frame <= 3; ++frame) {
        frameAt(ROW_X, PREVIEW_Y);
        EXPECT_EQ(showPiecePreview, frame % 2 == 0 ? 1 : 0);
        EXPECT_EQ(null_backend::sleptMs(), 150u * static_cast<unsigned>(frame));
    }
    EXPECT_EQ(showGridPreview + showCurrentGrid + musicOn + advanced4Way, 3);

    frameAt(ROW_X, 472); // the advanced switch's strip
    frameAt(ROW_X, 458); // just above it
    EXPECT_EQ(advanced4Way, 1);
    EXPECT_EQ(null_backend::sleptMs(), 600u);
}

TEST_F(OptionsScreen, TheMusicRowStopsAndRestartsTheMusicAtOnce) {
    null_backend::setAudioAvailable(true);
    ASSERT_TRUE(initSound());
    // Mono 16-bit PCM at 22050 Hz, two frames.
    const unsigned char wav[] = {'R',  'I',  'F', 'F', 40,   0,    0, 0, 'W', 'A', 'V', 'E',
                                 'f',  'm',  't', ' ', 16,   0,    0, 0, 1,   0,   1,   0,
                                 0x22, 0x56, 0,   0,   0x44, 0xAC, 0, 0, 2,   0,   16,  0,
                                 'd',  'a',  't', 'a', 4,    0,    0, 0, 1,   0,   2,   0};
    ASSERT_TRUE(writeTextFile("music.wav", std::string(reinterpret_cast<const char*>(wav), sizeof wav)));
    loadSound(musicSound, "music.wav");
    ASSERT_TRUE(musicSound.buffer);
    musicSound.loop = 1;
    playSound(musicSound);
    musicSound.position = 1;

    setKeyDown(VK_LBUTTON, true);
    frameAt(ROW_X, MUSIC_Y);
    EXPECT_EQ(musicOn, 0);
    EXPECT_FALSE(musicSound.playing);
    frameAt(ROW_X, MUSIC_Y);
    EXPECT_EQ(musicOn, 1);
    EXPECT_TRUE(musicSound.playing);
    EXPECT_EQ(musicSound.position, 0u) << "the music restarts from its beginning";
    EXPECT_FALSE(std::filesystem::exists("myControls.txt")) << "the change is live, not saved";
    shutDownSound();
    null_backend::setAudioAvailable(false);
}

// ---- Leaving ----

TEST_F(OptionsScreen, EscapeOverAKeyRowBindsEscapeAndLeavesWithoutSavingAfterAFullFrame) {
    int shownBefore = null_backend::picturesShown();
    pressOver(ROW_X, ROTATE_CCW_Y, {ESCAPE});
    EXPECT_EQ(inOptions, 0);
    EXPECT_EQ(inMenu, 1);
    EXPECT_EQ(keyRotateCCW, ESCAPE);
    EXPECT_FALSE(std::filesystem::exists("myControls.txt"));
    EXPECT_EQ(null_backend::picturesShown(), shownBefore + 1);
}

TEST_F(OptionsScreen, FinishingWritesTheFileAndKeepsWhatItReadsBack) {
    pressOver(ROW_X, DROP_Y, {UP_ARROW});
    showGridPreview = 0;
    musicOn = 7; // any nonzero switch value is kept as it is
    pressOver(ROW_X, FINISH_Y, {VK_LBUTTON});
    EXPECT_EQ(inOptions, 0);
    EXPECT_EQ(inMenu, 1);
    EXPECT_EQ(controlsFile(), "162\r\n163\r\n38\r\n9\r\n37\r\n39\r\n37\r\n39\r\n0\r\n1\r\n0\r\n1\r\n7\r\n"
                              "This file contains control settings.  Do not delete or edit it!");
    EXPECT_EQ(keyDrop, UP_ARROW);
    EXPECT_EQ(showGridPreview, 0);
    EXPECT_EQ(musicOn, 7);
    EXPECT_EQ(null_backend::sleptMs(), 0u) << "the link does not pause";
}

TEST_F(OptionsScreen, AFailedSaveKeepsTheOldFileAndBringsItsValuesBack) {
    ASSERT_TRUE(saveControls());
    const std::string saved = controlsFile();
    pressOver(ROW_X, DROP_Y, {UP_ARROW});
    ASSERT_EQ(keyDrop, UP_ARROW);

    // A file-size limit makes the write fail part-way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    pressOver(ROW_X, FINISH_Y, {VK_LBUTTON});
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_EQ(inOptions, 0);
    EXPECT_EQ(controlsFile(), saved);
    EXPECT_EQ(keyDrop, 32);
}

// ---- Cursor and screen ----

TEST_F(OptionsScreen, TheCursorStaysInsideThePanel) {
    frameAt(-5000, -5000);
    EXPECT_EQ(mouseX, 400);
    EXPECT_EQ(mouseY, 100);
    frameAt(5000, 5000);
    EXPECT_EQ(mouseX, 704);
    EXPECT_EQ(mouseY, 492);
}

TEST_F(OptionsScreen, OnlyThePanelOfTheFrontSurfaceChanges) {
    constexpr std::uint16_t MARKER = 0x1234;
    std::fill(frontSurface.pixels.begin(), frontSurface.pixels.end(), MARKER);
    frameAt(ROW_X, DROP_Y);
    EXPECT_EQ(pixelsOfColor(frontSurface, {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT}, MARKER),
              SCREEN_WIDTH * SCREEN_HEIGHT - 320 * 400);
    for (int y = 100; y < 500; ++y)
        for (int x = 400; x < 720; ++x) {
            std::size_t at = static_cast<std::size_t>(y * SCREEN_WIDTH + x);
            ASSERT_EQ(frontSurface.pixels[at], backSurface.pixels[at]) << x << "," << y;
        }
}

TEST_F(OptionsScreen, AHoveredRowLabelTurnsYellow) {
    const Rect previewLabel = {420, 253, 720, 269};
    frameAt(ROW_X, DROP_Y);
    EXPECT_EQ(pixelsOfColor(frontSurface, previewLabel, packColor(255, 255, 0)), 0);
    frameAt(ROW_X, PREVIEW_Y);
    EXPECT_GT(pixelsOfColor(frontSurface, previewLabel, packColor(255, 255, 0)), 20);
}

TEST_F(OptionsScreen, ALostDisplayIsRepairedAndTheFrameGoesOn) {
    frameAt(ROW_X, DROP_Y);
    int shownBefore = null_backend::picturesShown();
    null_backend::loseDisplay();
    runOptionsScreen();
    EXPECT_EQ(mouseX, 50) << "restoring puts the cursor at (50, 50)";
    EXPECT_FALSE(backSurface.lost);
    runOptionsScreen();
    EXPECT_EQ(mouseX, 400);
    EXPECT_EQ(null_backend::picturesShown(), shownBefore + 2);
}
