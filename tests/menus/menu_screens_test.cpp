// The main menu and the options screen driven frame by frame by scripted cursor and keys.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <ranges>
#include <tuple>
#include <vector>

#include "audio/sound.h"
#include "menus/controls_file.h"
#include "menus/main_menu.h"
#include "menus/options_screen.h"
#include "platform/bitmaps.h"
#include "platform/files.h"
#include "platform/input.h"
#include "app/main_loop.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "app/start_up.h"
#include "platform/text.h"
#include "play/game_step.h"
#include "rules/game_state.h"
#include "support/picture.h"

namespace crossfall {
namespace {

constexpr int ROW_X = 450, ROTATE_CCW_Y = 120, DROP_Y = 190, PREVIEW_Y = 260, MUSIC_Y = 365, FINISH_Y = 485;

// Read before any test runs: the program starts in the menu, nothing else open.
const std::tuple<int, int, int, int> flagsAtStart{inMenu, inOptions, inScoreEntry, showScoreList};
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
    EXPECT_EQ(flagsAtStart, std::tuple(1, 0, 0, 0));
}

TEST_F(MenuScreens, ObstacleModeFlipsOncePerHeldFrameAndReturnFreezesOnlyThePicture) {
    menu(200, 350, CLICK);
    EXPECT_EQ(obstacleMode, 1);
    int shown = null_backend::picturesShown();
    const int stays = menu(200, 350, {VK_LBUTTON, 13});
    EXPECT_EQ(std::tuple(stays, obstacleMode, null_backend::picturesShown(), null_backend::sleptMs()),
              std::tuple(1, 0, shown, 300u));
}

TEST_F(MenuScreens, TheBestScoresAreReadAfreshAndTheirLinkHandsOverUntilEscape) {
    menu(0, 0);
    ASSERT_TRUE(writeTextFile("scores_2p.txt", "ABCDEFGHIJKLMNOPQRSTUVWXYZ 77\nBob 30\n"));
    menu(0, 0);
    picture::expectPicture(null_backend::lastPicture(), 0xbdc8a7c9753d320d, "menu-scores"); // "???" and 0, then "ABCDEFGHI" and 77
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
    options(ROW_X, DROP_Y + 35, {250, 251}); // the highest code the scan takes
    options(ROW_X, PREVIEW_Y, {'A'});
    options(ROW_X, ROTATE_CCW_Y, {16, 160});
    options(600, 400, {17, 162, 163});
    options(530, 400, {'X'}); // the gap between Left and Right
    EXPECT_EQ(
        std::tuple(keyDrop, keyHurry, keyRotateCCW, keyLeft, keyRight, showPiecePreview, null_backend::sleptMs()),
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

TEST_F(MenuScreens, TheOptionsKeepTheCursorInTheirPanelAndSurviveALostDisplay) {
    options(5000, 5000);
    EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(704, 492));
    null_backend::loseDisplay();
    options(0, 0);
    EXPECT_EQ(std::tuple(mouseX, mouseY, backSurface.lost), std::tuple(50, 50, false));
}

// Each region lights up for the cursor exactly inside it (its first and last pixel, not the next one out where
// the cursor reaches) with a picture of its own; over painted art, the cursor invisible after the first frame.
using Regions = std::initializer_list<std::tuple<Rect, std::uint64_t>>;
void expectRegions(int (*screen)(), std::uint64_t first, Regions regions, const char* name) {
    for (int b = 0; b < BITMAP_COUNT; ++b)
        for (Surface& s = bitmap(Bitmap(b)); int i : std::views::iota(0, s.width * s.height))
            s.pixels[i] = std::uint16_t(0x800 * (b + 1) + (i % s.width * 7 + i / s.width * 13) % 0x800);
    const auto at = [screen](int x, int y) {
        addMouseMotion(x - mouseX, y - mouseY);
        screen();
        return std::pair(picture::digest(null_backend::lastPicture()), mouseX == x && mouseY == y);
    };
    at(400, 150);
    picture::expectPicture(null_backend::lastPicture(), first, name);
    std::fill(bitmap(Bitmap::Mouse).pixels.begin(), bitmap(Bitmap::Mouse).pixels.end(), 0);
    for (const auto& [r, want] : regions) {
        at(r.left, r.top);
        picture::expectPicture(null_backend::lastPicture(), want, name + std::to_string(r.left + r.top));
        EXPECT_EQ(at(r.right - 1, r.bottom - 1).first, want) << r.top;
        for (const auto& [got, reached] : {at(r.left, r.top - 1), at(r.right - 1, r.bottom)})
            EXPECT_TRUE(got != want || !reached) << r.top;
    }
}

TEST_F(MenuScreens, EveryEntryTheScoresPanelAndEveryOptionsRowShowTheirWholePictureExactlyOverTheirRectangles) {
    ASSERT_TRUE(writeTextFile("scores_rubik.txt", "WWWWWWWWW -2147483648\n"));
    expectRegions(runMainMenu, 0xe585b4494ef45e5d, {
        {{100, 141, 300, 166}, 0xa0d47eeddc0e7caa}, {{100, 193, 300, 218}, 0x4a882bf2fb0845df},
        {{100, 230, 300, 255}, 0x7e199ca68307635e}, {{100, 266, 300, 291}, 0x71f76a8f7d9dcf0c},
        {{100, 302, 300, 327}, 0x7745ad122daa0150}, {{100, 339, 300, 364}, 0x2da3532d07faa04},
        {{100, 377, 300, 402}, 0x456aeb767b13d201}, {{100, 412, 300, 437}, 0x401679aaa4391cd0},
        {{100, 466, 300, 491}, 0x2de5e6bfd35b9f8e}, {{400, 418, 720, 435}, 0xc5758a700347008d}}, "menu-");
    keyBindings[5] = 250; // no name: "?"
    showGridPreview = musicOn = 0;
    expectRegions(runOptionsScreen, 0x716c9752cce39d78, {
        {{400, 113, 720, 129}, 0xd843bf1aba7c16c8}, {{400, 148, 720, 164}, 0x78218f9814b61128},
        {{400, 183, 720, 199}, 0x99429d7073003795}, {{400, 218, 720, 234}, 0x51b06409c8bc0d2d},
        {{400, 253, 720, 269}, 0x8b586831b47b3c90}, {{400, 288, 720, 304}, 0x811e13ffdb313c80},
        {{400, 323, 720, 339}, 0xb1348b888f4f32ff}, {{400, 358, 720, 374}, 0xb2984bf054b76a17},
        {{400, 395, 520, 409}, 0x7f8d8c751783e61a}, {{540, 395, 660, 409}, 0xac83f161a3c32073},
        {{400, 430, 520, 444}, 0x8ee06fa1e3300f16}, {{540, 430, 660, 444}, 0x8aec663932bcd91e},
        {{400, 459, 720, 473}, 0x5622fc687d205427}, {{400, 477, 720, 494}, 0x7f26e74c10ca20ef}}, "options-");
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
