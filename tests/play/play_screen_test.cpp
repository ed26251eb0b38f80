// The play screen frame by frame; each sprite is painted with values of its own, so a misplaced copy shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <vector>

#include "app/game_frames.h"
#include "app/start_up.h"
#include "audio/sound.h"
#include "menus/controls_file.h"
#include "platform/bitmaps.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "platform/text.h"
#include "play/field_drawing.h"
#include "play/flash_row.h"
#include "play/game_step.h"
#include "play/panel.h"
#include "play/race_view.h"
#include "rules/random.h"
#include "support/picture.h"

using namespace crossfall;

namespace {

constexpr int I_PIECE = 1, L_PIECE = 3;
const std::uint16_t YELLOW = packColor(255, 255, 0), BLUE = packColor(0, 0, 255);

class PlayScreenTest : public ::testing::Test {
  protected:
    // One value a sprite, but one a strip in the flash images and one a pixel in the backdrop.
    static std::uint16_t sprite(Bitmap b, int x = 0, int y = 0) {
        if (b == Bitmap::Bg1) return 0x4000 + (x * 7 + y * 13) % 4000;
        return 0x1000 + 0x100 * int(b) + (b == Bitmap::AnimRow ? y / 16 : b == Bitmap::AnimCol ? x / 16 : 0);
    }

    void SetUp() override {
        null_backend::reset();
        ASSERT_TRUE(startUp());
        seedRandom(4242);
        for (int b = 0; b < BITMAP_COUNT; ++b) {
            Surface& s = bitmap(Bitmap(b));
            for (int i = 0; i < s.width * s.height; ++i)
                s.pixels[i] = sprite(Bitmap(b), i % s.width, i / s.width);
        }
        nextPiece = makePiece(I_PIECE, 0); // games here start with an I bar
        blinkCount = comboLabelTimer = 0;
        showPiecePreview = showGridPreview = showCurrentGrid = 1;
        for (SoundRecord& voice : voices) voice = SoundRecord{};
    }
    static const std::uint16_t* shown() { return null_backend::lastPicture(); }
    // How many pixels of the area equal what want(x, y) gives.
    template <class F> static int matching(const Rect& a, const std::uint16_t* p, F want) {
        int n = 0;
        for (int y = a.top; y < a.bottom; ++y)
            for (int x = a.left; x < a.right; ++x) n += p[y * SCREEN_WIDTH + x] == want(x, y);
        return n;
    }
    static int count(const Rect& a, int v) {
        return matching(a, shown(), [v](int, int) { return v; });
    }
    // A game from a fixed seed, the input held from frame 5 to 39; a digest of each frame's whole picture.
    static std::vector<std::uint64_t> play(int mode, int arm, const std::function<void(bool)>& input) {
        seedRandom(77);
        // What outlives a game is put back, so every run starts alike with an L piece.
        blinkCount = comboLabelTimer = 0;
        for (SoundRecord& voice : voices) voice = SoundRecord{};
        nextPiece = makePiece(L_PIECE, 0);
        startGame(mode);
        if (arm >= 0) currentPiece.fieldIndex = arm;
        inMenu = inScoreEntry = 0;
        std::vector<std::uint64_t> pictures;
        for (int frame = 0; frame < 60; ++frame) {
            input(frame >= 5 && frame < 40);
            playGameFrame();
            pictures.push_back(picture::digest(null_backend::lastPicture()));
        }
        input(false);
        return pictures;
    }
};

TEST_F(PlayScreenTest, RowFlashCoversTheRowInEachArmThenPutsTheLabelAtItsEnds) {
    for (int i = 0; i < 2 * FIELD_COUNT; ++i) {
        const int f = i / 2, r = i % 2 ? 17 : 2;
        SCOPED_TRACE(testing::Message() << "field " << f << " row " << r);
        const ScreenPoint a = cellPixel(f, 0, r), b = cellPixel(f, 9, r);
        const Rect s = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 16,
                        std::max(a.y, b.y) + 16};
        const bool flashed = f < 4, vertical = f == 1 || f == 3;
        drawField(fields[f]);
        clearSurface(frontSurface, 0);
        null_backend::reset();
        null_backend::watchPixel(s.left, s.top);
        voices[0].active = 0;
        flashRow(f, r);
        std::vector<std::uint16_t> steps; // the flash image's strips 0 to 5 and back, one a picture
        const std::uint16_t strip0 = sprite(vertical ? Bitmap::AnimCol : Bitmap::AnimRow);
        for (int k : {0, 1, 2, 3, 4, 5, 4, 3, 2, 1, 0})
            if (flashed) steps.push_back(std::uint16_t(strip0 + k));
        EXPECT_EQ(std::tuple(null_backend::watchedPixels(), voices[0].active, null_backend::sleptMs()),
                  std::tuple(steps, 1, flashed ? std::uint64_t{11 * 15} : 0))
            << "Duofall rows go unflashed, every row sounds; each step shows for 15 ms";
        EXPECT_EQ(count(s, sprite(vertical ? Bitmap::AnimCol : Bitmap::AnimRow)), flashed ? 160 * 16 : 0);
        EXPECT_EQ(count({0, 0, 800, 600}, 0), flashed ? 800 * 600 - 160 * 16 : 800 * 600) << "nothing else";
        const auto backdrop = [](int x, int y) { return sprite(Bitmap::Bg1, x, y); };
        EXPECT_EQ(matching(s, frontSurface.pixels.data(), backdrop), flashed ? 160 * 16 : 0)
            << "backdrop put back";
        const ScreenPoint* p = comboLabelPoints;
        EXPECT_EQ(std::tuple(p[0].x, p[0].y, p[1].x, p[1].y),
                  std::tuple(s.left, s.top, vertical ? s.left : s.right, vertical ? s.bottom : s.top));
    }
}

// Symbol tile k marks every third pixel of a diagonal pattern of its own with a value of its own.
bool symbolPixel(int tile, int x, int y) {
    return (x + 2 * y + tile) % 3 == 0;
}
std::uint16_t symbolValue(int tile) {
    return std::uint16_t(0x7000 + tile);
}

TEST_F(PlayScreenTest, WithSymbolsOnEveryBlockOfEveryFieldAndThePreviewCarriesItsKindsTileAndOffNone) {
    Surface& symbols = bitmap(Bitmap::Symbols);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < symbols.width; ++x)
            symbols.pixels[y * symbols.width + x] = symbolPixel(x / 16, x % 16, y) ? symbolValue(x / 16) : 0;
    showGridPreview = showCurrentGrid = 0;
    // Each mode's fields, every kind and a code outside 1..7 placed apart, so no row is full.
    for (const auto& [mode, first, last] : {std::tuple{int{MODE_CLASSIC}, 0, 0}, {MODE_4WAY, 0, 3}, {MODE_DUOFALL, 4, 5}})
        for (const int on : {1, 0}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " symbols " << on);
            blockSymbols = on;
            startGame(mode);
            for (int f = first; f <= last; ++f)
                for (int k = 0; k < 8; ++k) fields[f].cells[k][2 + k] = k == 7 ? 9 : k + 1;
            drawBackgrounds();
            for (int f = first; f <= last; ++f) drawField(fields[f]);
            drawPanelAndPreview();
            const std::uint16_t* p = backSurface.pixels.data();
            int wrong = 0, cells = 0;
            for (int f = first; f <= last; ++f)
                for (int c = 0; c < 10; ++c)
                    for (int r = 0; r < 10; ++r) { // the arms' own rows, clear of the shared centre
                        const int code = fields[f].cells[c][r];
                        if (code <= 0) continue;
                        const int tile = code >= 1 && code <= 7 ? code - 1 : 0;
                        const ScreenPoint at = cellPixel(f, c, r);
                        cells += 1;
                        for (int y = 0; y < 16; ++y)
                            for (int x = 0; x < 16; ++x)
                                wrong += p[(at.y + y) * SCREEN_WIDTH + at.x + x] !=
                                         (on != 0 && symbolPixel(tile, x, y) ? symbolValue(tile)
                                                                             : sprite(Bitmap(tile)));
                    }
            EXPECT_EQ(wrong, 0) << "of " << cells << " blocks";
            EXPECT_GE(cells, 8 * (last - first + 1));
            const auto marks = [](int tile) {
                int n = 0;
                for (int i = 0; i < 256; ++i) n += symbolPixel(tile, i % 16, i / 16);
                return n;
            };
            int marked = 0;
            for (int y = 420; y < 560; ++y)
                for (int x = 520; x < 760; ++x) marked += (p[y * SCREEN_WIDTH + x] & 0xFFF8) == 0x7000;
            // Duofall draws its two waiting pieces outside the panel.
            const int waiting = mode == MODE_DUOFALL ? 0 : 4 * marks(nextPiece.kind);
            EXPECT_EQ(marked, on != 0 ? waiting : 0) << "the waiting piece's four blocks";
        }
    blockSymbols = 0;
}

// The raced best game: every cell a half-size block at (600 + 8c, 100 + 8r), inside a white frame two
// pixels wide, "Your Best" above, the total below and "Finished" under it once ended; nothing else
// touched, and nothing at all when not shown.
TEST_F(PlayScreenTest,
       TheRacedFieldIsHalfSizeRightOfThePlayersInAWhiteFrameWithItsTotalAndShowsOnlyWhenAsked) {
    constexpr std::uint16_t UNTOUCHED = 0x0101;
    const std::uint16_t white = packColor(255, 255, 255);
    raceView = RaceView{};
    for (int k = 0; k < 8; ++k) raceView.cells[k][2 * k + 1] = k == 7 ? 9 : k + 1;
    raceView.cells[9][19] = 4;
    raceView.total = 4321;
    const auto drawn = [] {
        clearSurface(backSurface, UNTOUCHED);
        drawRaceView();
        return std::vector<std::uint16_t>(backSurface.pixels.begin(), backSurface.pixels.end());
    };
    const auto changedIn = [](const std::vector<std::uint16_t>& p, const Rect& a) {
        int n = 0;
        for (int y = a.top; y < a.bottom; ++y)
            for (int x = a.left; x < a.right; ++x) n += p[y * SCREEN_WIDTH + x] != UNTOUCHED;
        return n;
    };
    EXPECT_EQ(changedIn(drawn(), {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT}), 0) << "not shown: nothing";
    raceView.shown = true;
    for (const bool ended : {false, true}) {
        raceView.ended = ended;
        const std::vector<std::uint16_t> p = drawn();
        int wrong = 0;
        for (int y = 98; y < 262; ++y)
            for (int x = 598; x < 682; ++x) {
                const bool inside = x >= 600 && x < 680 && y >= 100 && y < 260;
                const int code = inside ? raceView.cells[(x - 600) / 8][(y - 100) / 8] : -1;
                const std::uint16_t want = !inside    ? white
                                           : code > 0 ? sprite(Bitmap(code <= 7 ? code - 1 : 0))
                                                      : 0;
                wrong += p[y * SCREEN_WIDTH + x] != want;
            }
        EXPECT_EQ(wrong, 0) << "the field and its frame";
        int total = 0; // the total's pixels are white
        for (int y = 264; y < 280; ++y)
            for (int x = 600; x < 680; ++x) total += p[y * SCREEN_WIDTH + x] == white;
        const int caption = changedIn(p, {590, 76, 690, 96});
        int finished = 0; // yellow
        for (int y = 280; y < 298; ++y)
            for (int x = 590; x < 690; ++x) finished += p[y * SCREEN_WIDTH + x] == YELLOW;
        EXPECT_TRUE(caption > 50 && total > 30 && (finished > 50) == ended)
            << caption << " " << total << " " << finished;
        // The texts' places and colours as they stand, pinned.
        picture::expectPicture(p.data(), ended ? 0xc296da55ab9ae55 : 0x2b60ccee5c656182, ended ? "race-ended" : "race");
        const int everything = changedIn(p, {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT});
        EXPECT_EQ(everything, changedIn(p, {590, 76, 690, 298})) << "nothing drawn outside its place";
    }
    raceView = RaceView{};
}

TEST_F(PlayScreenTest, EachFieldIsDrawnFromTheOriginAndAnchoredAtTheCornerItsOrientationGives) {
    const int places[FIELD_COUNT][4] = {{320, 60, 320, 380}, {320, 220, 320, 236}, {320, 220, 464, 236},
                                        {160, 220, 464, 380}, {160, 60, 160, 380},  {480, 60, 480, 380}};
    for (int f = 0; f < FIELD_COUNT; ++f) {
        drawField(fields[f]);
        const Field& d = fields[f];
        EXPECT_EQ(std::tuple(d.originX, d.originY, d.anchorX, d.anchorY),
                  std::tuple(places[f][0], places[f][1], places[f][2], places[f][3])) << f;
    }
}

TEST_F(PlayScreenTest, FourWayFramesMarkTheCurrentArmBlinkTheNextInTheMiddleThirdAndKeepTheCursorOnScreen) {
    startGame(MODE_4WAY);
    nextPiece.fieldIndex = 3;
    for (auto [before, yellow] : {std::tuple{28, false}, {29, true}, {58, true}, {59, false}, {89, false}}) {
        blinkCount = before;
        gameStep();
        EXPECT_EQ(shown()[300 * SCREEN_WIDTH + 158] == YELLOW, yellow) << before;
    }
    EXPECT_EQ(blinkCount, 0);
    // Straight after Duofall the waiting piece may still name a Duofall field: no arm blinks for it.
    for (const int field : {4, 5}) {
        nextPiece.fieldIndex = field;
        std::uint64_t pictures[2];
        for (const int preview : {0, 1}) {
            showGridPreview = preview;
            blinkCount = 40;
            gameStep();
            pictures[preview] = picture::digest(shown());
        }
        EXPECT_EQ(pictures[1], pictures[0]) << field;
    }
    nextPiece.fieldIndex = 3;
    blinkCount = 0;
    const Rect arms[4] = {
        {320, 60, 480, 380}, {320, 220, 640, 380}, {320, 220, 480, 540}, {160, 220, 480, 380}};
    for (int arm = 0; arm < 4; ++arm) { // the current arm's blue frame: the two pixels just outside its box
        currentPiece.fieldIndex = arm;
        gameStep();
        const Rect& a = arms[arm];
        const int ring =
            (a.right - a.left + 4) * (a.bottom - a.top + 4) - (a.right - a.left) * (a.bottom - a.top);
        EXPECT_EQ(std::pair(count({a.left - 2, a.top - 2, a.right + 2, a.bottom + 2}, BLUE), count(a, BLUE)),
                  std::pair(ring, 0))
            << arm;
    }
    // The arms' backdrops end at their edges, away from arm 1's frame and piece; the later covers the centre.
    currentPiece.fieldIndex = 1;
    gameStep();
    using enum Bitmap;
    const std::tuple<int, int, Bitmap> edges[] = {
        {400, 59, Bg1},     {400, 60, BgDir0},  {400, 539, BgDir2}, {400, 540, Bg1},    {159, 300, Bg1},
        {160, 300, BgDir3}, {479, 300, BgDir3}, {480, 300, BgDir1}, {639, 230, BgDir1}, {330, 215, BgDir0},
        {400, 220, BgDir3}};
    for (const auto& [x, y, b] : edges)
        EXPECT_EQ(shown()[y * SCREEN_WIDTH + x], sprite(b, x, y)) << x << "," << y;
    for (const int far : {5000, -5000}) {
        addMouseMotion(far, far);
        gameStep();
        EXPECT_EQ(std::pair(mouseX, mouseY), far > 0 ? std::pair(784, 584) : std::pair(0, 0))
            << "the cursor stays on screen while playing";
    }
}

// A pad in a game presses the player's own bindings: every frame's picture is the one the keys it stands for
// would give, in every mode, with rebound keys and advanced Cross-fall controls (pad input: tests/platform).
TEST_F(PlayScreenTest, EveryPadControlPlaysAsTheBindingItPressesAndNothingElse) {
    using enum PadButton;
    // Mode, the arm the piece is put in (-1 where it enters), advanced controls, a binding changed
    // (index, code), the pad's button, and the key it must play as (0: none).
    const struct {
        int mode, arm, advanced, binding, code;
        PadButton button;
        int key;
    } cases[] = {
        {MODE_CLASSIC, -1, 0, -1, 0, DpadUp, 0},
        {MODE_CLASSIC, -1, 0, -1, 0, DpadDown, 9},
        {MODE_CLASSIC, -1, 0, -1, 0, South, 162},
        {MODE_CLASSIC, -1, 0, -1, 0, East, 163},
        {MODE_CLASSIC, -1, 0, -1, 0, North, 32},
        {MODE_CLASSIC, -1, 0, -1, 0, RightShoulder, 9},
        {MODE_CLASSIC, -1, 0, 2, 'D', North, 'D'},
        {MODE_CLASSIC, -1, 0, 4, 'A', DpadLeft, 'A'},
        {MODE_RUBIK, -1, 0, 5, 'F', DpadRight, 'F'},
        {MODE_TIME, -1, 0, 3, 'H', DpadDown, 'H'},
        {MODE_CLASSIC, -1, 0, -1, 0, Start, 27},
        // Cross-fall: the side arms move with the Up/Down bindings, down no longer hurries.
        {MODE_4WAY, 1, 0, 6, 38, DpadUp, 38},
        {MODE_4WAY, 1, 0, -1, 0, DpadDown, 39},
        {MODE_4WAY, 0, 0, -1, 0, DpadLeft, 37},
        // Advanced: the arrows themselves, whatever the bindings; a drop bound to an arrow drops with Space.
        {MODE_4WAY, 1, 1, 6, 'U', DpadUp, 38},
        {MODE_4WAY, 1, 1, -1, 0, DpadRight, 39},
        {MODE_4WAY, 3, 1, -1, 0, DpadDown, 40},
        {MODE_4WAY, 1, 1, 2, 38, North, 32},
        {MODE_4WAY, 2, 1, 4, 'A', DpadLeft, 37},
    };
    for (const auto& c : cases) {
        SetUp();
        advanced4Way = c.advanced;
        if (c.binding >= 0) keyBindings[c.binding] = c.code;
        const auto byPad = play(c.mode, c.arm, [&](bool down) { setPadButton(0, c.button, down); });
        const int pausedByPad = inMenu;
        const auto byKey = play(c.mode, c.arm, [&](bool down) { setKeyDown(c.key, down && c.key != 0); });
        const auto idle = play(c.mode, c.arm, [](bool) {});
        const auto where = testing::Message() << "mode " << c.mode << " key " << c.key;
        EXPECT_TRUE(byPad == byKey) << where;
        // Escape only opens the menu; the frame it is held in still shows the game.
        EXPECT_EQ(byKey == idle, c.key == 0 || c.key == 27) << where << ": the key changes the game";
        EXPECT_EQ(pausedByPad, c.key == 27 ? 1 : 0) << where;
    }
}

} // namespace
