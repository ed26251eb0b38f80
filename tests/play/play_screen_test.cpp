// The play screen frame by frame; each sprite is painted with values of its own, so a misplaced copy shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "audio/sound.h"
#include "menus/controls_file.h"
#include "platform/bitmaps.h"
#include "platform/files.h"
#include "platform/null_backend.h"
#include "platform/start_up.h"
#include "platform/text.h"
#include "play/field_drawing.h"
#include "play/flash_row.h"
#include "play/game_step.h"
#include "rules/random.h"
#include "support/picture.h"

using namespace crossfall;

namespace {

constexpr int I_PIECE = 1, L_PIECE = 3;
const std::uint16_t YELLOW = packColor(255, 255, 0), GREEN = packColor(0, 255, 0);

class PlayScreenTest : public ::testing::Test {
  protected:
    // One value a sprite, but one a strip in the flash images and one a pixel in the backdrop.
    static std::uint16_t sprite(Bitmap b, int x = 0, int y = 0) {
        if (b == Bitmap::Bg1) return 0x4000 + (x * 7 + y * 13) % 4000;
        return 0x1000 + 0x100 * int(b) + (b == Bitmap::AnimRow ? y / 16 : b == Bitmap::AnimCol ? x / 16 : 0);
    }
    static std::uint16_t block(int code) { return sprite(Bitmap(code - 1)); }
    static std::uint16_t bgDir(int d) { return sprite(Bitmap(int(Bitmap::BgDir0) + d - d / 5)); } // no BgDir4

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
    static std::uint16_t shownAt(int x, int y) { return shown()[y * SCREEN_WIDTH + x]; }
    template <class F> static int matching(const Rect& a, const std::uint16_t* p, F want) {
        int n = 0;
        for (int y = a.top; y < a.bottom; ++y)
            for (int x = a.left; x < a.right; ++x) n += p[y * SCREEN_WIDTH + x] == want(x, y);
        return n;
    }
    static int count(const Rect& a, int v, const std::uint16_t* p = shown()) {
        return matching(a, p, [v](int, int) { return v; });
    }
    static bool square(ScreenPoint p, int v) { return count({p.x, p.y, p.x + 16, p.y + 16}, v) == 256; }
    // The area shows the text as drawn alone on the paper, and the text reaches into it.
    static bool text(const char* s, int x, int y, ColorRef ink, std::uint16_t paper, const Rect& area) {
        Surface want = createSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
        clearSurface(want, paper);
        drawTextCentered(s, x, y, ink, want);
        const int size = (area.right - area.left) * (area.bottom - area.top);
        const auto wanted = [&](int px, int py) { return want.pixels[py * SCREEN_WIDTH + px]; };
        return matching(area, shown(), wanted) == size && count(area, paper, want.pixels.data()) < size;
    }
};

TEST_F(PlayScreenTest, EachModeShowsItsFieldsBackgroundsAndTurnedPreviewsInItsOwnPlaces) {
    const ScreenPoint cell85[] = {{448, 140}, {544, 348}, {336, 444}, {240, 236}, {288, 140}, {608, 140}};
    const ScreenPoint probes[] = {{170, 300}, {330, 70}, {330, 530}, {630, 230}, {400, 300}};
    // Mode, the next piece's arm, fields shown, backgrounds under the probes (-: backdrop), preview.
    const std::tuple<int, int, const char*, const char*, const char*> cases[] = {
        {MODE_CLASSIC, 0, "#.....", "-0--0", "........#..###..........."},
        {MODE_DUOFALL, 0, "....##", "5--6-", "........#..###..........."},
        {MODE_4WAY, 1, "####..", "30213", ".......#....#....##......"},  // a clockwise turn
        {MODE_4WAY, 2, "####..", "30213", "...........###..#........"},  // upside down
        {MODE_4WAY, 3, "####..", "30213", "......##....#....#......."}}; // a counter-clockwise turn
    for (auto [mode, arm, shows, dirs, look] : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << mode << " arm " << arm);
        startGame(mode);
        nextPiece = nextPiece2 = makePiece(L_PIECE, arm);
        for (int f = 0; f < FIELD_COUNT; ++f) fields[f].cells[8][5] = 1 + f; // squares no piece covers
        gameStep();
        for (int f = 0; f < FIELD_COUNT; ++f)
            EXPECT_EQ(square(cell85[f], block(1 + f)), shows[f] == '#') << f;
        for (int i = 0; i < 5; ++i) {
            const auto [x, y] = probes[i];
            EXPECT_EQ(shownAt(x, y), dirs[i] == '-' ? sprite(Bitmap::Bg1, x, y) : bgDir(dirs[i] - '0')) << i;
        }
        const ScreenPoint at = mode == MODE_DUOFALL ? ScreenPoint{320, 60} : ScreenPoint{608, 460};
        for (int x : {at.x, mode == MODE_DUOFALL ? 416 : at.x})
            for (int i = 0; i < 25; ++i)
                EXPECT_EQ(square({x + i % 5 * 16, at.y + i / 5 * 16}, block(L_PIECE + 1)), look[i] == '#')
                    << i;
    }
}

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
        flashRow(f, r);
        EXPECT_EQ(null_backend::picturesShown(), flashed ? 11 : 0) << "Duofall rows go unflashed";
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

TEST_F(PlayScreenTest, ARowALockFillsStillShowsInThatFrameAndIsGoneFromTheNext) {
    startGame(MODE_CLASSIC);
    for (int c : {0, 1, 2, 7, 8, 9}) fields[0].cells[c][19] = 5;
    currentPiece.y = 17; // the bar rests on row 19, columns 3..6, and falls (locks) this frame
    currentPiece.gravityCount = 99;
    gameStep();
    for (int c : {0, 3}) EXPECT_TRUE(square(cellPixel(0, c, 19), block(c == 0 ? 5 : I_PIECE + 1))) << c;
    gameStep();
    for (int c : {0, 3}) EXPECT_TRUE(square(cellPixel(0, c, 19), bgDir(0))) << c;
}

TEST_F(PlayScreenTest, PanelShowsComboUntilNoEffectSoundsPreviewUntilSwitchedOffAndGaugesCappedAtFull) {
    startGame(MODE_TIME);
    combo = bestCombo = 3;
    voices[0].active = voices[0].loop = 1;
    riseCount = 1159; // half the period once this frame counts
    gameStep();
    EXPECT_TRUE(text("Combo:  3x", 640, 425, rgb(255, 255, 0), 0, {560, 427, 720, 438}));
    EXPECT_TRUE(text("Score: 0 / Level: 1", 640, 445, rgb(255, 255, 255), 0, {560, 447, 720, 456}));
    EXPECT_TRUE(text("Next Piece", 640, 525, rgb(0, 0, 255), 0, {600, 525, 608, 540}));
    EXPECT_TRUE(text("Time Attack!: 50 %", 640, 542, rgb(0, 255, 0), 0, {641, 543, 758, 558}));
    EXPECT_EQ(count({0, 557, 800, 558}, YELLOW), 119) << "521..639, the frame on 520";
    voices[0] = SoundRecord{};
    showPiecePreview = 0;
    gameStep();
    EXPECT_TRUE(text("Best Combo: 3x", 640, 425, rgb(0, 255, 0), 0, {560, 427, 720, 438}));
    EXPECT_EQ(count({522, 474, 758, 530}, 0), 236 * 56) << "no preview, no \"Next Piece\"";

    nextPiece = makePiece(I_PIECE, 0);
    startGame(MODE_RUBIK);
    currentPiece.y = 12;        // the bar lies on row 14, columns 3..6,
    fields[0].cells[4][16] = 2; // so the spin would turn this block onto it: refused, the count runs on
    spinCount = 2599;
    gameStep();
    EXPECT_TRUE(text("Rubik Spin!: 113 %", 640, 542, rgb(255, 255, 255), GREEN, {521, 544, 759, 558}));
    EXPECT_EQ(count({762, 544, 800, 558}, GREEN), 0) << "the bar stops at the panel's frame";
}

TEST_F(PlayScreenTest, FourWayFramesMarkTheCurrentArmAndBlinkTheNextOneInTheMiddleThird) {
    startGame(MODE_4WAY);
    currentPiece.fieldIndex = 1;
    nextPiece.fieldIndex = 3;
    for (auto [before, yellow] : {std::tuple{28, false}, {29, true}, {58, true}, {59, false}, {89, false}}) {
        blinkCount = before;
        gameStep();
        EXPECT_EQ(shownAt(641, 300), packColor(0, 0, 255)) << "right edge of the right arm";
        EXPECT_EQ(shownAt(158, 300) == YELLOW, yellow) << before;
    }
    EXPECT_EQ(blinkCount, 0);
}

TEST_F(PlayScreenTest, AnEndedGameHidesItsPieceShowsTheFinalScoreAndChecksTheScoresOnce) {
    startGame(MODE_CLASSIC);
    endGame();
    for (int frame = 0; frame < 3; ++frame) gameStep();
    EXPECT_EQ(std::ranges::count(*readFile("debug.txt", 1 << 16), '\n'), 10) << "ten table rows, logged once";
    for (int c = 3; c < 7; ++c) EXPECT_TRUE(square(cellPixel(0, c, 1), bgDir(0)));
    EXPECT_TRUE(text("Final Score:  0", 400, 330, rgb(0, 255, 0), 0, {290, 330, 510, 345}));
}

TEST_F(PlayScreenTest, EachModeWithAChainAFlashedRowAndGaugesThenEndedShowsItsWholePicture) {
    const std::uint64_t want[5][2] = {{0x5fc5166095cb996c, 0x6d54200669612e8d},
                                      {0x2c0001eeb05c4b0c, 0xb04143acab62b018},
                                      {0x19434d40e672be94, 0x7a127ce0f07b9b09},
                                      {0xbf0542c1f516e87c, 0xd6a6cc83d13becd9},
                                      {0x34f0f532f37f108a, 0x3e33260c7e6015c6}};
    for (int mode = 0; mode < 5; ++mode) {
        nextPiece2 = makePiece(L_PIECE, 5);
        startGame(mode);
        for (int f = 0; f < FIELD_COUNT; ++f)
            for (int c = 0; c < FIELD_COLUMNS; ++c) fields[f].cells[c][19 - c] = 1 + (c + f) % 7;
        score = 4321, level = 3, combo = bestCombo = 2, riseCount = 700, spinCount = 900, blinkCount = 40;
        voices[0].active = voices[0].loop = 1;
        writeComboLabel(2);
        flashRow(mode == MODE_DUOFALL ? 5 : 0, 12);
        comboLabelTimer = 30;
        gameStep();
        picture::expectPicture(shown(), want[mode][0], "play-" + std::to_string(mode));
        endGame();
        gameStep();
        picture::expectPicture(shown(), want[mode][1], "play-over-" + std::to_string(mode));
    }
}

} // namespace
