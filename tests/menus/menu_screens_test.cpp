// The main menu and the options screen driven frame by frame by scripted cursor and keys.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <tuple>
#include <vector>

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
#include "play/game_step.h"
#include "rules/game_state.h"

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

TEST_F(MenuScreens, AResultStillWaitingForInitialsIsSavedInItsOwnModesTableWhateverComesNext) {
    const std::string classicRows = "AAA 300\r\nBBB 200\r\n";
    std::string settled = "AAA 300\r\n??? 250\r\nBBB 200\r\n";
    for (int k = 0; k < 7; ++k) settled += "??? 0\r\n";
    // Resume leads to the entry; a new game of either mode, or quitting, first saves with no initials.
    for (const auto& [x, y, pending] : {std::tuple{200, 150, 1}, {200, 240, 0}, {200, 205, 0}, {-1, -1, 0}}) {
        ASSERT_TRUE(writeTextFile("scores_classic.txt", "AAA 300\nBBB 200\n"));
        ASSERT_TRUE(writeTextFile("scores_rubik.txt", "CCC 900\n"));
        menu(200, 205, CLICK);
        score = 250;
        currentPiece.y = 17; // Escape is held in the very frame this lock ends the game
        currentPiece.gravityCount = 200;
        fields[0].cells[5][1] = 3;
        setKeyDown(VK_ESCAPE, true);
        gameStep();
        setKeyDown(VK_ESCAPE, false);
        ASSERT_EQ(std::tuple(inMenu, gameOver, inScoreEntry), std::tuple(1, 1, 1));
        if (x < 0)
            shutDown();
        else
            menu(x, y, CLICK);
        EXPECT_EQ(inScoreEntry, pending) << y;
        EXPECT_EQ(readFile("scores_classic.txt", 1024), pending ? classicRows : settled) << y;
        EXPECT_EQ(readFile("scores_rubik.txt", 1024), "CCC 900\r\n") << y;
        inScoreEntry = 0;
    }
}

TEST_F(MenuScreens, HoveringAKeyRowBindsTheLowestHeldKeyWithItsSideAndNoPause) {
    options(ROW_X, DROP_Y, {'B', 'A'});
    options(ROW_X, DROP_Y, {251});
    options(ROW_X, PREVIEW_Y, {'A'});
    options(ROW_X, ROTATE_CCW_Y, {16, 160});
    options(600, 400, {17, 162, 163});
    options(530, 400, {'X'}); // the gap between Left and Right
    EXPECT_EQ(std::tuple(keyDrop, keyRotateCCW, keyLeft, keyRight, showPiecePreview, null_backend::sleptMs()),
              std::tuple('A', 160, 37, 162, 1, 0u));
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

} // namespace
TEST_F(MenuScreens, APadAloneMovesTheCursorClicksSwitchesAndEntriesButIsNeverBoundToAKey) {
    // Every pad button held over a key row binds nothing; the south button only pauses as a click does.
    inOptions = 1;
    const int rows[] = {ROTATE_CCW_Y, DROP_Y};
    for (int y : rows)
        for (int b = 0; b < PAD_BUTTON_COUNT; ++b) {
            if (b >= int(PadButton::DpadUp)) continue; // the d-pad moves the cursor off the row
            setPadButton(0, PadButton(b), true);
            options(ROW_X, y);
            setPadButton(0, PadButton(b), false);
        }
    EXPECT_TRUE(std::equal(keyBindings, keyBindings + 8, std::begin({162, 163, 32, 9, 37, 39, 37, 39})));
    EXPECT_EQ(inOptions, 1) << "Start is no Escape here";
    EXPECT_EQ(null_backend::sleptMs(), 300u);
    // The south button flips a switch row as a click does.
    setPadButton(0, PadButton::South, true);
    options(ROW_X, PREVIEW_Y);
    setPadButton(0, PadButton::South, false);
    EXPECT_EQ(showPiecePreview, 0);
    // The stick carries the cursor from the top-left corner to the Classic entry and south starts it.
    addMouseMotion(-5000, -5000);
    menu(mouseX, mouseY);
    setPadAxis(0, PadAxis::LeftX, 20000);
    setPadAxis(0, PadAxis::LeftY, 24000);
    int frames = 0;
    while (!(mouseY >= 195 && mouseY < 216) && frames < 200) {
        menu(mouseX, mouseY);
        ++frames;
        if (mouseX > 150) setPadAxis(0, PadAxis::LeftX, 0);
    }
    setPadAxis(0, PadAxis::LeftX, 0);
    setPadAxis(0, PadAxis::LeftY, 0);
    EXPECT_LT(frames, 60) << "well within a second";
    setPadButton(0, PadButton::South, true);
    EXPECT_EQ(menu(mouseX, mouseY), 0);
    EXPECT_EQ(gameMode, MODE_CLASSIC);
    releaseAllKeys();
}

TEST_F(MenuScreens, AMenuFrameIsDrawnOnlyWhenWhatItShowsChangedOrSomethingElseShowedSince) {
    ASSERT_TRUE(writeTextFile("scores_time.txt", "Ann 50\n"));
    menu(700, 580);
    // Each step, then whether that frame put a new picture on screen.
    const struct {
        const char* what;
        std::function<void()> change;
        bool drawn;
    } steps[] = {
        {"nothing", [] {}, false},
        {"the cursor moved", [] { addMouseMotion(1, 0); }, true},
        {"nothing again", [] {}, false},
        {"a score file changed, same size", [] { writeTextFile("scores_time.txt", "Bob 50\n"); }, true},
        {"a score file rewritten alike", [] { writeTextFile("scores_time.txt", "Bob 50\n"); }, false},
        {"the obstacle switch", [] { obstacleMode = 1; }, true},
        {"another screen showed", [] { showFrontSurface(); }, true},
        {"a surface lost", [] { null_backend::loseDisplay(); }, true},
        {"the button held", [] { setKeyDown(VK_LBUTTON, true); }, true},
        {"let go: the same picture", [] { setKeyDown(VK_LBUTTON, false); }, false},
        {"Return held", [] { setKeyDown(VK_RETURN, true); }, false},
    };
    for (const auto& step : steps) {
        step.change();
        const int before = null_backend::picturesShown();
        EXPECT_EQ(runMainMenu(), 1) << step.what;
        EXPECT_EQ(null_backend::picturesShown() - before, step.drawn ? 1 : 0) << step.what;
    }
    releaseAllKeys();
    expectScoreRow(360, "Bob", "50");
    // A skipped frame leaves the screen exactly as a drawn one would have.
    const std::vector<std::uint16_t> kept(null_backend::lastPicture(),
                                          null_backend::lastPicture() + 800 * 600);
    runMainMenu();
    showFrontSurface();
    runMainMenu();
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), null_backend::lastPicture()));
}

} // namespace crossfall
