// The main menu and the options screen driven frame by frame by scripted cursor and keys.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <functional>
#include <ranges>
#include <tuple>

#include "app/main_loop.h"
#include "app/start_up.h"
#include "audio/sound.h"
#include "menus/controls_file.h"
#include "menus/main_menu.h"
#include "menus/options_screen.h"
#include "platform/bitmaps.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "play/field_drawing.h"
#include "play/race_view.h"
#include "rules/game_state.h"
#include "scores/high_scores.h"
#include "support/picture.h"

namespace crossfall {
namespace {

constexpr int ROW_X = 450, ROTATE_CCW_Y = 120, DROP_Y = 190, PREVIEW_Y = 260, MUSIC_Y = 365, FINISH_Y = 485;

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
        clearKeyPresses(); // as the loop does after each screen
        return result;
    }
    static int menu(int x, int y, Keys held = {}) { return frame(runMainMenu, x, y, held); }
    static int options(int x, int y, Keys held = {}) { return frame(runOptionsScreen, x, y, held); }
    // A frame with these keys pressed and the mouse left alone.
    static int keys(int (*screen)(), Keys held) { return frame(screen, mouseX, mouseY, held); }
};

// What the arrows reach, in their order, on the menu and on the options screen.
constexpr Rect MENU_TARGETS[] = {{100, 141, 300, 166}, {100, 193, 300, 218}, {100, 230, 300, 255},
                                 {100, 266, 300, 291}, {100, 302, 300, 327}, {100, 339, 300, 364},
                                 {100, 377, 300, 402}, {100, 412, 300, 437}, {100, 441, 300, 466},
                                 {100, 466, 300, 491}, {400, 418, 720, 435}, {400, 446, 720, 463}};
constexpr Rect OPTION_TARGETS[] = {{400, 113, 720, 129}, {400, 148, 720, 164}, {400, 183, 720, 199},
                                   {400, 218, 720, 234}, {400, 253, 720, 269}, {400, 288, 720, 304},
                                   {400, 323, 720, 339}, {400, 358, 720, 374}, {400, 395, 520, 409},
                                   {540, 395, 660, 409}, {400, 430, 520, 444}, {540, 430, 660, 444},
                                   {400, 459, 720, 473}, {400, 477, 720, 494}};

// Down walks every target from nowhere and wraps; each steered picture is the one the mouse shows there.
template <std::size_t N>
void expectArrowsWalk(int (*screen)(), const Rect (&targets)[N], int (*move)(int, int)) {
    for (std::size_t k = 0; k <= N; ++k) {
        move(0, 0);
        for (std::size_t step = 0; step <= k; ++step) MenuScreens::keys(screen, {VK_DOWN});
        const Rect& r = targets[k % N];
        ASSERT_TRUE(contains(r, mouseX, mouseY)) << k << ": " << mouseX << "," << mouseY;
        const std::uint64_t steered = picture::digest(null_backend::lastPicture());
        const int x = mouseX, y = mouseY;
        move(0, 0);
        move(x, y);
        EXPECT_EQ(picture::digest(null_backend::lastPicture()), steered) << k;
    }
    move(0, 0);
    MenuScreens::keys(screen, {VK_UP});
    EXPECT_TRUE(contains(targets[N - 1], mouseX, mouseY)) << "Up from nowhere: the last";
    MenuScreens::keys(screen, {VK_LEFT});
    EXPECT_TRUE(contains(targets[N - 2], mouseX, mouseY)) << "Left goes back too";
}

TEST_F(MenuScreens, TheArrowsWalkTheMenuShowingWhatTheMouseWouldAndEnterActsOnlyWhereTheyLeftTheCursor) {
    expectArrowsWalk(runMainMenu, MENU_TARGETS, [](int x, int y) { return menu(x, y); });
    gameMode = -1;
    EXPECT_EQ(menu(200, 205, {VK_RETURN}), 1) << "Return under the mouse starts nothing";
    // From nowhere: Down n times, then Enter held for two frames, nothing done yet, and let go: what
    // stays, the mode started, the switches.
    for (const auto& [downs, stays, mode, obstacles, symbols, race] :
         {std::tuple{2, 0, int{MODE_CLASSIC}, 0, 0, 0},
          {7, 0, int{MODE_TIME}, 0, 0, 0},
          {6, 1, -1, 1, 0, 0},
          {8, 1, -1, 0, 0, 0},
          {9, 1, -1, 0, 1, 0},
          {12, 1, -1, 0, 0, 1}}) {
        gameMode = -1;
        obstacleMode = inOptions = blockSymbols = raceYourBest = 0;
        menu(0, 0);
        for (int k = 0; k < downs; ++k) keys(runMainMenu, {VK_DOWN});
        setKeyDown(VK_RETURN, true);
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(
                std::tuple(runMainMenu(), gameMode, obstacleMode + blockSymbols + inOptions + raceYourBest),
                std::tuple(1, -1, 0));
            clearKeyPresses();
        }
        setKeyDown(VK_RETURN, false);
        const int left = runMainMenu();
        EXPECT_EQ(std::tuple(left, gameMode, obstacleMode, inOptions, blockSymbols, raceYourBest),
                  std::tuple(stays, mode, obstacles, downs == 8, symbols, race))
            << downs;
    }
    blockSymbols = raceYourBest = 0;
    // The link to the tables, and in the list the one button, then Exit.
    menu(0, 0);
    keys(runMainMenu, {VK_UP});
    keys(runMainMenu, {VK_UP});
    keys(runMainMenu, {VK_RETURN});
    runMainMenu(); // Enter let go
    ASSERT_EQ(showScoreList, 1);
    keys(runMainMenu, {VK_DOWN});
    EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(585, 518));
    keys(runMainMenu, {VK_RETURN});
    EXPECT_EQ(std::tuple(showScoreList, mouseX, mouseY), std::tuple(0, 405, 105));
    menu(0, 0);
    for (int k = 0; k < 3; ++k) keys(runMainMenu, {VK_UP});
    quitRequest = QuitRequest{};
    keys(runMainMenu, {VK_RETURN});
    EXPECT_EQ(std::pair(runMainMenu(), quitRequest.posted), std::pair(0, true));
}

TEST_F(MenuScreens, EscapeLeavesTheMenuWhenLetGoAndOnlyIfPressedThere) {
    const auto down = [] { setKeyDown(VK_ESCAPE, true); };
    const auto up = [] { setKeyDown(VK_ESCAPE, false); };
    // Before each frame, then whether the menu stays.
    const std::pair<std::function<void()>, int> frames[] = {
        {down, 1}, {[] {}, 1}, {up, 0},                      // pressed, held, let go
        {[] {}, 1}, {[=] { down(), up(); }, 0},              // a tap inside one frame
        {[=] { down(), clearKeyPresses(); }, 1}, {up, 1}};   // pressed on another screen
    menu(0, 0);
    for (std::size_t k = 0; k < std::size(frames); ++k) {
        frames[k].first();
        EXPECT_EQ(runMainMenu(), frames[k].second) << k;
        clearKeyPresses();
    }
}

TEST_F(MenuScreens, OnTheOptionsTheArrowsWalkEveryRowAndEnterWaitsForAnyKeyEscapeGivingTheWaitUp) {
    inOptions = 1;
    expectArrowsWalk(runOptionsScreen, OPTION_TARGETS, [](int x, int y) { return options(x, y); });
    const auto steerTo = [](int downs) {
        options(400, 100);
        for (int k = 0; k < downs; ++k) keys(runOptionsScreen, {VK_DOWN});
    };
    steerTo(3);
    const std::uint64_t hovered = picture::digest(null_backend::lastPicture());
    keys(runOptionsScreen, {VK_RETURN});
    EXPECT_NE(picture::digest(null_backend::lastPicture()), hovered) << "the row says it waits";
    keys(runOptionsScreen, {VK_DOWN});
    EXPECT_EQ(std::tuple(keyDrop, mouseX, mouseY), std::tuple(VK_DOWN, 704, 191)) << "bound, not moved";
    keys(runOptionsScreen, {VK_DOWN});
    keys(runOptionsScreen, {VK_RETURN});
    keys(runOptionsScreen, {VK_RETURN});
    keys(runOptionsScreen, {'B'});
    EXPECT_EQ(keyHurry, VK_RETURN) << "Enter binds Enter; the next key is no longer waited for";
    keys(runOptionsScreen, {VK_DOWN});
    keys(runOptionsScreen, {VK_RETURN});
    EXPECT_EQ(showPiecePreview, 0) << "a switch flips on Enter";
    steerTo(9);
    keys(runOptionsScreen, {VK_RETURN});
    keys(runOptionsScreen, {VK_CONTROL, 163});
    EXPECT_EQ(keyLeft, 163) << "the side of Control";
    // Escape gives up the wait and, held on, does not leave; pressed again it does.
    keys(runOptionsScreen, {VK_DOWN});
    keys(runOptionsScreen, {VK_RETURN});
    setKeyDown(VK_ESCAPE, true);
    for (int k = 0; k < 3; ++k) keys(runOptionsScreen, {});
    setKeyDown(VK_ESCAPE, false);
    EXPECT_EQ(std::pair(keyRight, inOptions), std::pair(VK_RIGHT, 1));
    keys(runOptionsScreen, {VK_ESCAPE});
    EXPECT_EQ(inOptions, 0);
    inOptions = 1;
    // The mouse ends a wait, and under the pointer every key binds as ever, the arrows included.
    steerTo(3);
    keys(runOptionsScreen, {VK_RETURN});
    options(ROW_X, DROP_Y);
    options(ROW_X, DROP_Y, {VK_UP});
    EXPECT_EQ(std::tuple(keyDrop, mouseX, mouseY), std::tuple(VK_UP, ROW_X, DROP_Y));
    steerTo(4);
    keys(runOptionsScreen, {'B'});
    EXPECT_EQ(keyHurry, VK_RETURN) << "steered, a key row binds only after Enter";
    options(mouseX, mouseY, CLICK);
    EXPECT_EQ(keyHurry, VK_LBUTTON) << "a click, even unmoved, hands the cursor back: the button binds itself";
    // Up from nowhere reaches the finish link: Enter saves and leaves.
    options(400, 100);
    keys(runOptionsScreen, {VK_UP});
    keys(runOptionsScreen, {VK_RETURN});
    EXPECT_EQ(std::pair(inOptions, readFile("myControls.txt", 4096).value_or("").substr(0, 17)),
              std::pair(0, std::string("162\r\n163\r\n38\r\n1\r\n")));
}

TEST_F(MenuScreens, EveryEntryActsOnAClickInsideItOnlyAndTheCursorStaysOnScreen) {
    // Where the click is, whether the menu stays, and the mode it starts (-1: none).
    const std::tuple<int, int, int, int> clicks[] = {
        {100, 141, 0, -1},         {299, 165, 0, -1},        {99, 150, 1, -1},
        {300, 150, 1, -1},         {150, 166, 1, -1},        {200, 205, 0, MODE_CLASSIC},
        {200, 240, 0, MODE_RUBIK}, {200, 280, 0, MODE_4WAY}, {200, 310, 0, MODE_DUOFALL},
        {200, 390, 0, MODE_TIME}};
    for (const auto& [x, y, stays, mode] : clicks) {
        gameMode = -1;
        EXPECT_EQ(menu(x, y), 1) << "hovering alone starts nothing at " << x << "," << y;
        EXPECT_EQ(std::pair(menu(x, y, CLICK), gameMode), std::pair(stays, mode)) << x << "," << y;
    }
    // Obstacle Mode flips once per held frame, 150 ms apart.
    menu(200, 350, CLICK);
    EXPECT_EQ(obstacleMode, 1);
    menu(200, 350, CLICK);
    EXPECT_EQ(std::pair(obstacleMode, null_backend::sleptMs()), std::pair(0, std::uint64_t{300}));
    // The link to all the tables hands over to the list until Escape.
    EXPECT_EQ(std::pair(menu(560, 425, CLICK), showScoreList), std::pair(1, 1));
    null_backend::loseDisplay();
    EXPECT_EQ(std::tuple(menu(560, 425), showScoreList, backSurface.lost), std::tuple(1, 1, false)) << "restored, stays";
    EXPECT_EQ(std::pair(menu(560, 425, {VK_ESCAPE}), showScoreList), std::pair(1, 0));
    menu(5000, 5000);
    EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(784, 584));
}

TEST_F(MenuScreens, AResultStillWaitingForInitialsIsSavedInItsOwnModesTableWhateverComesNext) {
    std::string settled = "AAA 300\r\n??? 250\r\nBBB 200\r\n";
    for (int k = 0; k < 7; ++k) settled += "??? 0\r\n";
    // Resume leads to the entry; a new game of either mode, or Exit, first saves it with no initials.
    for (const auto& [y, pending] : {std::pair{150, 1}, {240, 0}, {205, 0}, {480, 0}}) {
        ASSERT_TRUE(saveTextFile("scores_classic.txt", "AAA 300\nBBB 200\n"));
        ASSERT_TRUE(saveTextFile("scores_rubik.txt", "CCC 900\n"));
        gameMode = MODE_CLASSIC;
        score = 250;
        checkHighScore();
        if (y == 480) { // Exit's quit ends the loop before any other screen, and the shut-down saves
            const auto wrong = [] { postQuit(7); };
            addMouseMotion(200 - mouseX, y - mouseY);
            setKeyDown(VK_LBUTTON, true);
            EXPECT_EQ(runMainLoop({[] { return runMainMenu() == 0 ? 0 : (postQuit(7), 1); }, wrong, wrong,
                                   wrong, shutDown}),
                      0);
        } else {
            menu(200, y, CLICK);
        }
        EXPECT_EQ(inScoreEntry, pending) << y;
        EXPECT_EQ(readFile("scores_classic.txt", 1024), pending ? "AAA 300\r\nBBB 200\r\n" : settled) << y;
        EXPECT_EQ(readFile("scores_rubik.txt", 1024), "CCC 900\r\n") << y;
        inScoreEntry = 0;
    }
}

// Hovering a key row binds the lowest held code to 250, sided by a held Control or Shift, at once; a held
// button flips a switch row (472 is the advanced one, 458 above it) or binds itself, 150 ms apart.
TEST_F(MenuScreens, EveryRowTakesKeysOrClicksExactlyAsThePlayerSeesThem) {
    const struct {
        int x, y;
        Keys held;
    } frames[] = {
        {450, 400, {VK_SHIFT}},            {ROW_X, DROP_Y, {'B', 'A'}},      {ROW_X, DROP_Y, {251}},
        {ROW_X, DROP_Y + 35, {250, 251}},  {ROW_X, PREVIEW_Y, {'A'}},        {ROW_X, ROTATE_CCW_Y, {16, 160}},
        {600, 400, {17, 162, 163}},        {530, 400, {'X'}},                {ROW_X, PREVIEW_Y, CLICK},
        {ROW_X, 472, CLICK}, {ROW_X, 458, CLICK}, {ROW_X, ROTATE_CCW_Y + 35, CLICK}, {ROW_X, MUSIC_Y, CLICK},
        {ROW_X, DROP_Y + 35, {9, 17, 162}}, {560, 437, {17, 163}}}; // a hint left unused is not kept
    musicSound.buffer = std::make_shared<SampleBuffer>();
    setMusicOn(true);
    for (const auto& f : frames) options(f.x, f.y, f.held);
    std::array<std::int32_t, CONTROL_VALUES> got{};
    getControlValues(got);
    EXPECT_EQ(got, decltype(got)({160, VK_LBUTTON, 'A', 9, VK_SHIFT, 162, 37, 163, 1, 0, 1, 1, 0}));
    EXPECT_EQ(std::pair(musicSound.playing, null_backend::sleptMs()), std::pair(false, std::uint64_t{600}))
        << "the music stops at once";
    musicSound = SoundRecord{};
    // The cursor stays in the panel; a lost display is restored and the cursor starts again.
    options(5000, 5000);
    EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(704, 492));
    null_backend::loseDisplay();
    options(0, 0);
    EXPECT_EQ(std::tuple(mouseX, mouseY, backSurface.lost), std::tuple(50, 50, false));
}

TEST_F(MenuScreens, OpeningReadsTheFileEscapeLeavesWithoutSavingFinishingSavesAFailedSaveKeepsTheOldFile) {
    ASSERT_TRUE(saveTextFile("myControls.txt", "65\n66\n"));
    menu(200, 420, CLICK);
    EXPECT_EQ(std::tuple(inOptions, keyRotateCCW, keyRotateCW, mouseX, mouseY),
              std::tuple(1, 65, 66, 400, 100));
    options(ROW_X, ROTATE_CCW_Y, {VK_ESCAPE});
    EXPECT_EQ(std::pair(inOptions, keyRotateCCW), std::pair(0, 27)) << "the frame still binds Escape";
    EXPECT_EQ(readFile("myControls.txt", 99), "65\r\n66\r\n") << "nothing saved";
    inOptions = 1;
    options(ROW_X, FINISH_Y, CLICK);
    EXPECT_EQ(std::pair(inOptions, inMenu), std::pair(0, 1));
    const std::string saved = readFile("myControls.txt", 4096).value_or("");
    EXPECT_EQ(saved.substr(0, 8), "27\r\n66\r\n");
    // A file-size limit makes the write fail part-way, as a full disk would.
    options(ROW_X, DROP_Y, {VK_DOWN});
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

// Each region lights up for the cursor exactly inside it (its first and last pixel, not the next one out
// where the cursor reaches) with a picture of its own; over painted art, the cursor unseen after frame one.
template <std::size_t N>
void expectRegions(int (*screen)(), std::uint64_t first, const Rect (&targets)[N], const std::uint64_t (&pictures)[N],
                   const char* name) {
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
    for (std::size_t k = 0; k < N; ++k) {
        const Rect& r = targets[k];
        const std::uint64_t want = pictures[k];
        at(r.left, r.top);
        picture::expectPicture(null_backend::lastPicture(), want, name + std::to_string(r.left + r.top));
        EXPECT_EQ(at(r.right - 1, r.bottom - 1).first, want) << r.top;
        for (const auto& [got, reached] :
             {at(r.left, r.top - 1), at(r.left, r.bottom), at(r.left - 1, r.top), at(r.right, r.bottom - 1)})
            EXPECT_TRUE(got != want || !reached) << r.left << "," << r.top;
    }
}

TEST_F(MenuScreens, EveryEntryLinkAndOptionsRowShowTheirWholePictureExactlyOverTheirRectangles) {
    ASSERT_TRUE(saveTextFile("scores_rubik.txt", "WWWWWWWWW -2147483648\n"));
    expectRegions(runMainMenu, 0x1c3f5391c7278692, MENU_TARGETS,
                  {0xb4ded9718b172fdd, 0xd9de50e2702e7560, 0xa08f5aa57bec55cd, 0x69d077f4e4ed705b,
                   0x44be0eaa09ea5467, 0x3bcf1594218a73d7, 0x31600274f5899312, 0x36577d64aa4a0c7b,
                   0xd58d2a55a2248fbf, 0xe4ace8923b2df9ed, 0x46e5462b6dc8bfa2, 0xf0f048e39682d3c2},
                  "menu-");
    keyBindings[5] = 250; // no name: "?"
    showGridPreview = musicOn = 0;
    expectRegions(runOptionsScreen, 0x608755eeaa5f6637, OPTION_TARGETS,
                  {0xefad3d1efa126567, 0x9ffa99f26d430907, 0x2bb2bef118420ca, 0x86d9d6cc5a061b52,
                  0x2768c002e257fcdf, 0x80342de78f11172f, 0x2bd93da7ebdcb504, 0x6ba4f4eed507170c,
                  0x3d38952b0bb47131, 0x8ae5af8c097a8e20, 0x17031b3b78cf21bd, 0xdd2da434b509f305,
                  0x9a375e23df3cd54, 0x2ee68c8e13140560}, "options-");
}

TEST_F(MenuScreens, AMenuFrameIsDrawnOnlyWhenWhatItShowsChangedOrSomethingElseShowedSince) {
    ASSERT_TRUE(saveTextFile("scores_time.txt", "Annannannann 50\n"));
    menu(700, 580);
    // Each step, then whether that frame put a new picture on screen.
    const std::tuple<const char*, std::function<void()>, bool> steps[] = {
        {"nothing", [] {}, false},
        {"the cursor moved", [] { addMouseMotion(1, 0); }, true},
        {"nothing again", [] {}, false},
        {"a name changed, same size", [] { saveTextFile("scores_time.txt", "Bobbobbobbob 50\n"); }, true},
        {"the first table's best", [] { saveTextFile("scores_classic.txt", "Al 5\n"); }, true},
        {"the same rewritten", [] { saveTextFile("scores_time.txt", "Bobbobbobbob 50\n"); }, false},
        {"the obstacle switch", [] { obstacleMode = 1; }, true},
        {"the symbols switch", [] { blockSymbols = 1; }, true},
        {"another screen showed", [] { showFrontSurface(); }, true},
        {"a surface lost", [] { null_backend::loseDisplay(); }, true},
        {"the button held", [] { setKeyDown(VK_LBUTTON, true); }, true},
        {"let go: the same picture", [] { setKeyDown(VK_LBUTTON, false); }, false},
        {"Return held", [] { setKeyDown(VK_RETURN, true); }, false},
        {"the cursor moved under Return", [] { addMouseMotion(-1, 0); }, false},
    };
    for (const auto& [what, change, drawn] : steps) {
        change();
        const int before = null_backend::picturesShown();
        EXPECT_EQ(runMainMenu(), 1) << what;
        EXPECT_EQ(null_backend::picturesShown() - before, drawn ? 1 : 0) << what;
    }
    releaseAllKeys();
    // The Classic row shows its new best and the Time Attack row its new name cut to nine letters; no art here.
    picture::expectPicture(null_backend::lastPicture(), 0x983f2bd718f1e173, "menu-best");
    // A skipped frame leaves the screen exactly as a drawn one would have.
    runMainMenu();
    showFrontSurface();
    runMainMenu();
    picture::expectPicture(null_backend::lastPicture(), 0x983f2bd718f1e173, "menu-best");
}

} // namespace
} // namespace crossfall
