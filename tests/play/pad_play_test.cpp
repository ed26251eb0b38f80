// A pad in a game presses the player's own bindings: every frame's picture is the one the keys it
// stands for would give, in every mode, with rebound keys and with advanced Cross-fall controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string_view>
#include <vector>

#include "audio/sound.h"
#include "menus/controls_file.h"
#include "platform/bitmaps.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "app/game_frames.h"
#include "app/start_up.h"
#include "rules/game_state.h"
#include "rules/pieces.h"
#include "rules/random.h"

using namespace crossfall;

namespace {

enum Control {
    DPAD_LEFT,
    DPAD_UP,
    DPAD_DOWN,
    DPAD_RIGHT,
    STICK_LEFT,
    STICK_DRIFT,
    SOUTH,
    EAST,
    NORTH,
    SHOULDER,
    START,
    BACK
};

void hold(Control control, bool down) {
    const PadButton buttons[] = {PadButton::DpadLeft,      PadButton::DpadUp, PadButton::DpadDown,
                                 PadButton::DpadRight,     PadButton::Back,   PadButton::Back,
                                 PadButton::South,         PadButton::East,   PadButton::North,
                                 PadButton::RightShoulder, PadButton::Start,  PadButton::Back};
    if (control == STICK_LEFT || control == STICK_DRIFT) {
        setPadAxis(0, PadAxis::LeftX, down ? (control == STICK_LEFT ? -20000 : -7990) : 0);
        setPadAxis(0, PadAxis::LeftY, down && control == STICK_DRIFT ? 7990 : 0);
        return;
    }
    setPadButton(0, buttons[control], down);
}

struct PadPlay : testing::Test {
    void SetUp() override {
        null_backend::reset();
        releaseAllKeys();
        ASSERT_TRUE(startUp());
        resetControlsToDefaults();
        // No bitmaps in the test's folder: paint every sprite a value of its own so pieces show.
        for (int b = 0; b < BITMAP_COUNT; ++b)
            std::fill(bitmap(Bitmap(b)).pixels.begin(), bitmap(Bitmap(b)).pixels.end(),
                      std::uint16_t(0x1000 + 0x100 * b));
    }
    // A game from a fixed seed, the input held from frame 5 to 149 (past the first fall into sight);
    // a digest of each frame's whole picture.
    static std::vector<std::size_t> play(int mode, int arm, const std::function<void(bool)>& input) {
        seedRandom(77);
        // What outlives a game is put back, so every run starts alike with an L piece.
        blinkCount = comboLabelTimer = 0;
        for (SoundRecord& voice : voices) voice = SoundRecord{};
        nextPiece = makePiece(3, 0);
        startGame(mode);
        if (arm >= 0) currentPiece.fieldIndex = arm;
        inMenu = inScoreEntry = 0;
        std::vector<std::size_t> pictures;
        for (int frame = 0; frame < 240; ++frame) {
            input(frame >= 5 && frame < 150);
            playGameFrame();
            const auto* bytes = reinterpret_cast<const char*>(null_backend::lastPicture());
            pictures.push_back(std::hash<std::string_view>{}(std::string_view(bytes, 800 * 600 * 2)));
        }
        input(false);
        return pictures;
    }
};

} // namespace

TEST_F(PadPlay, EveryPadControlPlaysAsTheBindingItPressesAndNothingElse) {
    // Mode, the arm the piece is put in (-1 where it enters), advanced controls, bindings changed
    // (index, code), the pad control, and the key it must play as (0: none at all).
    const struct {
        int mode, arm, advanced, binding, code;
        Control control;
        int key;
    } cases[] = {
        {MODE_CLASSIC, -1, 0, -1, 0, DPAD_LEFT, 37},
        {MODE_CLASSIC, -1, 0, -1, 0, STICK_LEFT, 37},
        {MODE_CLASSIC, -1, 0, -1, 0, STICK_DRIFT, 0},
        {MODE_CLASSIC, -1, 0, -1, 0, DPAD_UP, 0},
        {MODE_CLASSIC, -1, 0, -1, 0, DPAD_DOWN, 9},
        {MODE_CLASSIC, -1, 0, -1, 0, SOUTH, 162},
        {MODE_CLASSIC, -1, 0, -1, 0, EAST, 163},
        {MODE_CLASSIC, -1, 0, -1, 0, NORTH, 32},
        {MODE_CLASSIC, -1, 0, -1, 0, SHOULDER, 9},
        {MODE_CLASSIC, -1, 0, -1, 0, BACK, 0},
        {MODE_CLASSIC, -1, 0, 2, 'D', NORTH, 'D'},
        {MODE_CLASSIC, -1, 0, 4, 'A', DPAD_LEFT, 'A'},
        {MODE_RUBIK, -1, 0, 5, 'F', DPAD_RIGHT, 'F'},
        {MODE_DUOFALL, -1, 0, -1, 0, DPAD_LEFT, 37},
        {MODE_TIME, -1, 0, 3, 'H', DPAD_DOWN, 'H'},
        {MODE_CLASSIC, -1, 0, -1, 0, START, 27},
        // Cross-fall: the side arms move with the Up/Down bindings, down no longer hurries.
        {MODE_4WAY, 1, 0, 6, 38, DPAD_UP, 38},
        {MODE_4WAY, 1, 0, -1, 0, DPAD_DOWN, 39},
        {MODE_4WAY, 0, 0, -1, 0, DPAD_LEFT, 37},
        // Advanced: the arrows themselves, whatever the bindings; a drop bound to an arrow drops with Space.
        {MODE_4WAY, 1, 1, 6, 'U', DPAD_UP, 38},
        {MODE_4WAY, 1, 1, -1, 0, DPAD_RIGHT, 39},
        {MODE_4WAY, 1, 1, 2, 38, NORTH, 32},
        {MODE_4WAY, 2, 1, 4, 'A', DPAD_LEFT, 37},
    };
    for (const auto& c : cases) {
        SetUp();
        advanced4Way = c.advanced;
        if (c.binding >= 0) keyBindings[c.binding] = c.code;
        const auto byPad = play(c.mode, c.arm, [&](bool down) { hold(c.control, down); });
        const int pausedByPad = inMenu;
        const auto byKey = play(c.mode, c.arm, [&](bool down) { setKeyDown(c.key, down && c.key != 0); });
        const auto idle = play(c.mode, c.arm, [](bool) {});
        const auto where = testing::Message()
                           << "mode " << c.mode << " control " << c.control << " key " << c.key;
        EXPECT_TRUE(byPad == byKey) << where;
        // Escape only opens the menu; the frame it is held in still shows the game.
        EXPECT_EQ(byKey == idle, c.key == 0 || c.key == 27) << where << ": the key changes the game";
        EXPECT_EQ(pausedByPad, c.key == 27 ? 1 : 0) << where;
    }
}
