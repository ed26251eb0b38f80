// Input: the SDL key table, keys sharing a code, mouse buttons, the held-key query and the cursor clamps.
#include "platform/input.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "platform/key_map.h"

using namespace crossfall;

namespace {

struct Input : testing::Test {
    void SetUp() override {
        releaseAllHeldKeys();
        initInput();
    }
};

} // namespace

TEST_F(Input, KeysAndButtonsMapToCodesThatStayHeldWhileAnyKeyGivingThemIsDown) {
    const struct { SDL_Scancode scancode; SDL_Keycode keycode; int virtualKey; } cases[] = {
        // On AZERTY the key typing A sits where QWERTY has Q; the number row types symbols.
        {SDL_SCANCODE_Q, SDLK_a, 'A'}, {SDL_SCANCODE_SEMICOLON, SDLK_m, 'M'}, {SDL_SCANCODE_1, SDLK_AMPERSAND, '1'},
        {SDL_SCANCODE_F, 0x0430, 'F'}, // a non-Latin layout keeps the letter of the position
        {SDL_SCANCODE_F12, SDLK_F12, 123}, {SDL_SCANCODE_F13, SDLK_F13, 124}, {SDL_SCANCODE_VOLUMEUP, SDLK_VOLUMEUP, 0},
        {SDL_SCANCODE_Z, SDLK_z, 'Z'}, {SDL_SCANCODE_Z, 0x044F, 'Z'}, {SDL_SCANCODE_EXECUTE, 0, 0}, // past F24
    };
    for (const auto& c : cases) EXPECT_EQ(virtualKeyOf(c.scancode, c.keycode), c.virtualKey) << c.scancode;
    // Every key position gives a code of its own; only the two Enters share one.
    std::vector<int> owner(256, -1);
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
        const int vk = virtualKeyOf(SDL_Scancode(s), 0);
        EXPECT_TRUE(vk == 0 || vk == 13 || std::exchange(owner[vk], s) == -1) << vk << " again at " << s;
    }

    // Each event, then the code it checks and whether that code is held; stray releases leave no count.
    const struct { SDL_Scancode scancode; bool down; int code, held; } script[] = {
        {SDL_SCANCODE_LSHIFT, true, 16, 1},    {SDL_SCANCODE_RSHIFT, true, 161, 1}, {SDL_SCANCODE_LSHIFT, false, 160, 0},
        {SDL_SCANCODE_LSHIFT, false, 16, 1},   {SDL_SCANCODE_RSHIFT, false, 16, 0}, {SDL_SCANCODE_RCTRL, true, 17, 1},
        {SDL_SCANCODE_LALT, true, 18, 1},      {SDL_SCANCODE_RETURN, true, 13, 1},  {SDL_SCANCODE_RETURN, true, 13, 1},
        {SDL_SCANCODE_KP_ENTER, true, 13, 1},  {SDL_SCANCODE_RETURN, false, 13, 1}, {SDL_SCANCODE_KP_ENTER, false, 13, 0},
        {SDL_SCANCODE_KP_ENTER, false, 13, 0}, {SDL_SCANCODE_RETURN, true, 13, 1},
    };
    for (const auto& e : script) {
        keyEvent(e.scancode, SDLK_UNKNOWN, e.down);
        EXPECT_EQ(keyHeld(e.code), e.held != 0) << "step " << &e - script;
    }
    // A key released after a layout switch lets go of what it pressed.
    keyEvent(SDL_SCANCODE_Q, SDLK_q, true);
    keyEvent(SDL_SCANCODE_Q, SDLK_a, false);
    EXPECT_FALSE(keyHeld('Q'));

    // Mouse buttons are keys too; only codes inside the table are ever held.
    mouseButtonEvent(SDL_BUTTON_RIGHT, true);
    mouseButtonEvent(SDL_BUTTON_X2, true);
    mouseButtonEvent(SDL_BUTTON_X2 + 1, true); // no such button: no code
    EXPECT_TRUE(keyHeld(2) && keyHeld(6) && !keyHeld(1));
    mouseButtonEvent(SDL_BUTTON_RIGHT, false);
    EXPECT_FALSE(keyHeld(2));
    for (int code : {0, 255, -1, 256, INT_MIN, INT_MAX}) {
        setKeyDown(code, true);
        EXPECT_EQ(keyHeld(code), code == 0 || code == 255) << code;
    }
}

TEST_F(Input, CursorClampsInOrderAfterTheMotionAndUsesItOnce) {
    // Start, motion, limits (min x, min y, max x, max y), and where the cursor ends.
    const int cases[][10] = {
        {10, 10, 900, -900, 0, 0, 784, 584, 784, 0},
        {10, 10, 0, 0, 500, 500, 300, 300, 300, 300},           // crossed limits: the upper ones are applied last
        {400, 300, INT_MAX, INT_MIN, 0, 0, 784, 584, 784, 0},   // huge motions never overflow
    };
    for (const auto& c : cases) {
        mouseX = c[0], mouseY = c[1];
        addMouseMotion(c[2], c[3]);
        trackCursor(c[4], c[5], c[6], c[7]);
        EXPECT_TRUE(mouseX == c[8] && mouseY == c[9]) << mouseX << "," << mouseY;
        trackCursor(0, 0, 784, 584);
        EXPECT_EQ(mouseX, c[8]);
    }
}
