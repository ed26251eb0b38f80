// The play screen frame by frame: field layout, mode backgrounds and previews, the row flash, the
// panel and gauges, arm frames and the end of a game. Each sprite is painted with values of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>

#include "audio/sound.h"
#include "menus/controls_file.h"
#include "platform/bitmaps.h"
#include "platform/files.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "platform/start_up.h"
#include "platform/text.h"
#include "play/field_drawing.h"
#include "play/flash_row.h"
#include "play/game_step.h"
#include "rules/random.h"

using namespace crossfall;

namespace {

constexpr Rect SCREEN = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
constexpr int I_PIECE = 1, L_PIECE = 3, O_PIECE = 4;
const std::uint16_t YELLOW = packColor(255, 255, 0), GREEN = packColor(0, 255, 0);

class PlayScreenTest : public ::testing::Test {
  protected:
    static std::uint16_t block(int code) { return 0xF000 + code; }
    static std::uint16_t bgDir(int dir) { return 0x2000 + dir; }
    static std::uint16_t anim(bool column, int k) { return (column ? 0x3100 : 0x3000) + k; }
    // Differs from pixel to pixel, so a copy from the wrong place shows.
    static std::uint16_t bg1(int x, int y) { return 0x4000 + (x * 7 + y * 13) % 4000; }

    void SetUp() override {
        null_backend::reset();
        ASSERT_TRUE(startUp());
        seedRandom(4242);
        for (int code = 1; code <= 7; ++code) clearSurface(blockSprite(code), block(code));
        for (int d : {0, 1, 2, 3, 5, 6}) // there is no BgDir4
            clearSurface(bitmap(Bitmap(int(Bitmap::BgDir0) + d - d / 5)), bgDir(d));
        paint(Bitmap::Bg1, bg1);
        paint(Bitmap::AnimRow, [](int, int y) { return anim(false, y / 16); });
        paint(Bitmap::AnimCol, [](int x, int) { return anim(true, x / 16); });
        inScoreEntry = blinkCount = comboLabelTimer = 0;
        for (SoundRecord& voice : voices) voice = SoundRecord{};
    }
    static void paint(Bitmap which, std::uint16_t (*value)(int x, int y)) {
        Surface& s = bitmap(which);
        for (int i = 0; i < s.width * s.height; ++i) s.pixels[i] = value(i % s.width, i / s.width);
    }
    // A fresh game in the mode, its first piece an I bar.
    static void start(int mode) {
        nextPiece = makePiece(I_PIECE, 0);
        startGame(mode);
        null_backend::reset();
    }

    static const std::uint16_t* shown() { return null_backend::lastPicture(); }
    static std::uint16_t shownAt(int x, int y) { return shown()[y * SCREEN_WIDTH + x]; }
    static int count(const std::uint16_t* picture, const Rect& area, std::uint16_t value) {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) n += picture[y * SCREEN_WIDTH + x] == value;
        return n;
    }
    static bool square(const std::uint16_t* picture, ScreenPoint at, std::uint16_t value) {
        return count(picture, {at.x, at.y, at.x + 16, at.y + 16}, value) == 256;
    }
    // The area shows the text as drawn alone over the background, and the text reaches into it.
    static bool text(const char* text, int x, int y, ColorRef ink, std::uint16_t background,
                     const Rect& area) {
        Surface want = createSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
        clearSurface(want, background);
        drawTextCentered(text, x, y, ink, want);
        for (int py = area.top; py < area.bottom; ++py)
            for (int px = area.left; px < area.right; ++px)
                if (shownAt(px, py) != want.pixels[py * SCREEN_WIDTH + px]) return false;
        return count(want.pixels.data(), area, background) <
               (area.right - area.left) * (area.bottom - area.top);
    }
};

TEST_F(PlayScreenTest, EachModeShowsItsFieldsBackgroundsAndTurnedPreviewsInItsOwnPlaces) {
    // Where each field's cell (8, 5) lies, in its own orientation.
    const ScreenPoint cell85[FIELD_COUNT] = {{448, 140}, {544, 348}, {336, 444},
                                             {240, 236}, {288, 140}, {608, 140}};
    const ScreenPoint probes[] = {{170, 300}, {330, 70}, {330, 530}, {630, 230}, {400, 300}};
    // Mode, the next piece's arm, the fields shown, the background under each probe (-: the
    // backdrop) and how the next piece's preview looks.
    const std::tuple<int, int, const char*, const char*, const char*> cases[] = {
        {MODE_CLASSIC, 0, "#.....", "-0--0", "........#..###..........."},
        {MODE_DUOFALL, 0, "....##", "5--6-", "........#..###..........."},
        {MODE_4WAY, 1, "####..", "30213", ".......#....#....##......"},  // a clockwise turn
        {MODE_4WAY, 2, "####..", "30213", "...........###..#........"},  // upside down
        {MODE_4WAY, 3, "####..", "30213", "......##....#....#......."}}; // a counter-clockwise turn
    for (auto [mode, arm, fieldsShown, dirs, look] : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << mode << " arm " << arm);
        start(mode);
        nextPiece = nextPiece2 = makePiece(L_PIECE, arm);
        for (int f = 0; f < FIELD_COUNT; ++f) fields[f].cells[8][5] = 1 + f; // squares no piece covers
        comboLabelTimer = 50;
        gameStep();
        for (int f = 0; f < FIELD_COUNT; ++f)
            EXPECT_EQ(square(shown(), cell85[f], block(1 + f)), fieldsShown[f] == '#') << f;
        EXPECT_EQ(comboLabelTimer, 50 - std::count(fieldsShown, fieldsShown + 6, '#')) << "once a field";
        for (int i = 0; i < 5; ++i) {
            const ScreenPoint p = probes[i];
            EXPECT_EQ(shownAt(p.x, p.y), dirs[i] == '-' ? bg1(p.x, p.y) : bgDir(dirs[i] - '0')) << i;
        }
        // Duofall shows both next pieces at the top of the middle, the others one in the panel.
        const ScreenPoint at = mode == MODE_DUOFALL ? ScreenPoint{320, 60} : ScreenPoint{608, 460};
        for (int x : {at.x, mode == MODE_DUOFALL ? 416 : at.x}) {
            std::string shape;
            for (int i = 0; i < 25; ++i)
                shape += square(shown(), {x + i % 5 * 16, at.y + i / 5 * 16}, block(L_PIECE + 1)) ? '#' : '.';
            EXPECT_EQ(shape, look);
        }
    }
}

TEST_F(PlayScreenTest, RowFlashCoversTheRowInEachArmThenTheBackdropAndPutsTheLabelAtItsEnds) {
    for (int f = 0; f < FIELD_COUNT; ++f)
        for (int r : {2, 17}) {
            SCOPED_TRACE(testing::Message() << "field " << f << " row " << r);
            const ScreenPoint a = cellPixel(f, 0, r), b = cellPixel(f, 9, r);
            const Rect s = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 16,
                            std::max(a.y, b.y) + 16};
            const bool flashed = f < 4, vertical = f == 1 || f == 3;
            drawField(fields[f]);
            clearSurface(frontSurface, 0);
            null_backend::reset();
            flashRow(f, r);
            EXPECT_EQ(null_backend::picturesShown(), flashed ? 11 : 0) << "Duofall rows go unflashed";
            EXPECT_EQ(null_backend::sleptMs(), flashed ? 165u : 0u);
            if (flashed) {
                EXPECT_EQ(count(shown(), s, anim(vertical, 0)) + count(shown(), SCREEN, 0), 800 * 600);
            }
            int backdrop = 0;
            for (int y = s.top; y < s.bottom; ++y)
                for (int x = s.left; x < s.right; ++x)
                    backdrop += frontSurface.pixels[y * 800 + x] == bg1(x, y);
            EXPECT_EQ(backdrop, flashed ? 160 * 16 : 0);
            EXPECT_EQ(count(frontSurface.pixels.data(), SCREEN, 0) + backdrop, 800 * 600);
            const ScreenPoint* p = comboLabelPoints;
            EXPECT_EQ(std::tuple(p[0].x, p[0].y, p[1].x, p[1].y),
                      std::tuple(s.left, s.top, vertical ? s.left : s.right, vertical ? s.bottom : s.top));
        }
}

// A piece that locks on the next tick with its box at (x, y).
Piece pieceAboutToLock(int kind, int x, int y) {
    Piece piece = makePiece(kind, 0);
    piece.x = x;
    piece.y = y;
    piece.gravityCount = 1000;
    return piece;
}

TEST_F(PlayScreenTest, RowsRemovedByALockStillShowInThatFrameAndAreGoneFromTheNext) {
    start(MODE_CLASSIC);
    // Rows 18 and 19 full but for columns 4 and 5, an O piece about to lock into the gap.
    for (int r : {18, 19})
        for (int c = 0; c < 10; ++c) fields[0].cells[c][r] = c == 4 || c == 5 ? EMPTY : 3;
    currentPiece = pieceAboutToLock(O_PIECE, 3, 17);
    for (int frame = 0; frame < 2; ++frame) {
        gameStep();
        for (int i = 0; i < 20; ++i)
            EXPECT_TRUE(square(shown(), cellPixel(0, i % 10, 18 + i / 10),
                               frame ? bgDir(0) : block(i % 10 == 4 || i % 10 == 5 ? 5 : 3)));
    }
}

TEST_F(PlayScreenTest, PanelShowsComboUntilNoEffectSoundsPreviewUntilSwitchedOffAndGaugesCappedAtFull) {
    start(MODE_TIME);
    combo = bestCombo = 3;
    voices[0].active = voices[0].loop = 1;
    riseCount = 1159; // half the period once this frame counts
    gameStep();
    EXPECT_TRUE(text("Combo:  3x", 640, 425, rgb(255, 255, 0), 0, {560, 427, 720, 438}));
    EXPECT_TRUE(text("Score: 0 / Level: 1", 640, 445, rgb(255, 255, 255), 0, {560, 447, 720, 456}));
    EXPECT_TRUE(text("Next Piece", 640, 525, rgb(0, 0, 255), 0, {600, 525, 608, 540}));
    EXPECT_TRUE(text("Time Attack!: 50 %", 640, 542, rgb(0, 255, 0), 0, {641, 543, 758, 558}));
    EXPECT_EQ(count(shown(), {0, 557, 800, 558}, YELLOW), 119) << "521..639, the frame on 520";
    voices[0] = SoundRecord{};
    showPiecePreview = 0;
    gameStep();
    EXPECT_EQ(combo, 0);
    EXPECT_TRUE(text("Best Combo: 3x", 640, 425, rgb(0, 255, 0), 0, {560, 427, 720, 438}));
    EXPECT_EQ(count(shown(), {522, 474, 758, 530}, 0), 236 * 56) << "no preview, no \"Next Piece\"";

    start(MODE_RUBIK);
    currentPiece.y = 12;        // the bar lies on row 14, columns 3..6,
    fields[0].cells[4][16] = 2; // so the spin would turn this block onto it: refused, the count runs on
    spinCount = 2599;
    gameStep();
    EXPECT_TRUE(text("Rubik Spin!: 113 %", 640, 542, rgb(255, 255, 255), GREEN, {521, 544, 759, 558}));
    EXPECT_EQ(count(shown(), {762, 544, 800, 558}, GREEN), 0) << "the bar stops at the panel's frame";
}

TEST_F(PlayScreenTest, FourWayFramesMarkTheCurrentArmAndBlinkTheNextOneInTheMiddleThird) {
    start(MODE_4WAY);
    showCurrentGrid = showGridPreview = 1;
    currentPiece.fieldIndex = 1;
    nextPiece.fieldIndex = 3;
    for (auto [before, yellow] : {std::pair{28, false}, {29, true}, {58, true}, {59, false}, {89, false}}) {
        blinkCount = before;
        gameStep();
        EXPECT_EQ(shownAt(641, 300), packColor(0, 0, 255)) << "right edge of the right arm";
        EXPECT_EQ(shownAt(158, 300) == YELLOW, yellow) << before;
    }
    EXPECT_EQ(blinkCount, 0);
}

TEST_F(PlayScreenTest, AnEndedGameFreezesHidesItsPieceAndChecksTheScoresOnce) {
    start(MODE_CLASSIC);
    currentPiece = pieceAboutToLock(I_PIECE, 3, 17);
    nextPiece = makePiece(I_PIECE, 0);
    fields[0].cells[5][1] = 2; // the next piece cannot enter
    for (int frame = 0; frame < 4; ++frame) gameStep();
    ASSERT_EQ(gameOver, 1);
    EXPECT_EQ(std::ranges::count(*readFile("debug.txt", 1 << 16), '\n'), 10) << "ten table rows, logged once";
    EXPECT_EQ(inScoreEntry, 0) << "a total of 0 enters no table";
    for (int c : {3, 4, 6}) EXPECT_TRUE(square(shown(), cellPixel(0, c, 1), bgDir(0)));
    EXPECT_TRUE(text("Final Score:  0", 400, 330, rgb(0, 255, 0), 0, {290, 330, 510, 345}));
}

} // namespace
