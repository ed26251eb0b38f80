// A pad in a game presses the player's own bindings: every frame's picture is the one the keys it
// stands for would give, in every mode, with rebound keys and with advanced Cross-fall controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string_view>
#include <vector>

#include "app/game_frames.h"
#include "app/start_up.h"
#include "audio/sound.h"
#include "menus/controls_file.h"
#include "platform/bitmaps.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "rules/game_state.h"
#include "rules/pieces.h"
#include "rules/random.h"

using namespace crossfall;

namespace {

// A game from a fixed seed, the input held from frame 5 to 39; a digest of each frame's whole picture.
std::vector<std::size_t> play(int mode, int arm, const std::function<void(bool)>& input) {
    seedRandom(77);
    // What outlives a game is put back, so every run starts alike with an L piece.
    blinkCount = comboLabelTimer = 0;
    for (SoundRecord& voice : voices) voice = SoundRecord{};
    nextPiece = makePiece(3, 0);
    startGame(mode);
    if (arm >= 0) currentPiece.fieldIndex = arm;
    inMenu = inScoreEntry = 0;
    std::vector<std::size_t> pictures;
    for (int frame = 0; frame < 60; ++frame) {
        input(frame >= 5 && frame < 40);
        playGameFrame();
        const auto* bytes = reinterpret_cast<const char*>(null_backend::lastPicture());
        pictures.push_back(std::hash<std::string_view>{}(std::string_view(bytes, 800 * 600 * 2)));
    }
    input(false);
    return pictures;
}

} // namespace

TEST(PadPlay, EveryPadControlPlaysAsTheBindingItPressesAndNothingElse) {
    using enum PadButton;
    // Mode, the arm the piece is put in (-1 where it enters), advanced controls, a binding changed
    // (index, code), the pad's button or else its stick (x, y), and the key it must play as (0: none).
    const struct {
        int mode, arm, advanced, binding, code;
        PadButton button;
        int x, y, key;
    } cases[] = {
        {MODE_CLASSIC, -1, 0, -1, 0, DpadLeft, 0, 0, 37},
        {MODE_CLASSIC, -1, 0, -1, 0, Back, -20000, 0, 37},
        {MODE_CLASSIC, -1, 0, -1, 0, Back, -7990, 7990, 0}, // drift inside the dead zone
        {MODE_CLASSIC, -1, 0, -1, 0, DpadUp, 0, 0, 0},
        {MODE_CLASSIC, -1, 0, -1, 0, DpadDown, 0, 0, 9},
        {MODE_CLASSIC, -1, 0, -1, 0, South, 0, 0, 162},
        {MODE_CLASSIC, -1, 0, -1, 0, East, 0, 0, 163},
        {MODE_CLASSIC, -1, 0, -1, 0, North, 0, 0, 32},
        {MODE_CLASSIC, -1, 0, -1, 0, RightShoulder, 0, 0, 9},
        {MODE_CLASSIC, -1, 0, -1, 0, Back, 0, 0, 0},
        {MODE_CLASSIC, -1, 0, 2, 'D', North, 0, 0, 'D'},
        {MODE_CLASSIC, -1, 0, 4, 'A', DpadLeft, 0, 0, 'A'},
        {MODE_RUBIK, -1, 0, 5, 'F', DpadRight, 0, 0, 'F'},
        {MODE_DUOFALL, -1, 0, -1, 0, DpadLeft, 0, 0, 37},
        {MODE_TIME, -1, 0, 3, 'H', DpadDown, 0, 0, 'H'},
        {MODE_CLASSIC, -1, 0, -1, 0, Start, 0, 0, 27},
        // Cross-fall: the side arms move with the Up/Down bindings, down no longer hurries.
        {MODE_4WAY, 1, 0, 6, 38, DpadUp, 0, 0, 38},
        {MODE_4WAY, 1, 0, -1, 0, DpadDown, 0, 0, 39},
        {MODE_4WAY, 0, 0, -1, 0, DpadLeft, 0, 0, 37},
        // Advanced: the arrows themselves, whatever the bindings; a drop bound to an arrow drops with Space.
        {MODE_4WAY, 1, 1, 6, 'U', DpadUp, 0, 0, 38},
        {MODE_4WAY, 1, 1, -1, 0, DpadRight, 0, 0, 39},
        {MODE_4WAY, 1, 1, 2, 38, North, 0, 0, 32},
        {MODE_4WAY, 2, 1, 4, 'A', DpadLeft, 0, 0, 37},
    };
    for (const auto& c : cases) {
        null_backend::reset();
        releaseAllKeys();
        ASSERT_TRUE(startUp());
        // No bitmaps in the test's folder: paint every sprite a value of its own so pieces show.
        for (int b = 0; b < BITMAP_COUNT; ++b)
            std::ranges::fill(bitmap(Bitmap(b)).pixels, std::uint16_t(0x1000 + 0x100 * b));
        advanced4Way = c.advanced;
        if (c.binding >= 0) keyBindings[c.binding] = c.code;
        const auto byPad = play(c.mode, c.arm, [&](bool down) {
            setPadAxis(0, PadAxis::LeftX, down ? c.x : 0);
            setPadAxis(0, PadAxis::LeftY, down ? c.y : 0);
            if (c.x == 0) setPadButton(0, c.button, down);
        });
        const int pausedByPad = inMenu;
        const auto byKey = play(c.mode, c.arm, [&](bool down) { setKeyDown(c.key, down && c.key != 0); });
        const auto idle = play(c.mode, c.arm, [](bool) {});
        const auto where = testing::Message() << "mode " << c.mode << " button " << int(c.button) << " key " << c.key;
        EXPECT_TRUE(byPad == byKey) << where;
        // Escape only opens the menu; the frame it is held in still shows the game.
        EXPECT_EQ(byKey == idle, c.key == 0 || c.key == 27) << where << ": the key changes the game";
        EXPECT_EQ(pausedByPad, c.key == 27 ? 1 : 0) << where;
    }
}
