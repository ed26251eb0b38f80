// Input: the SDL key table (layout letters and digits, positional keys, sided and generic
// modifiers, keys sharing a code), mouse buttons, the held-key query and the cursor clamps.
#include "platform/input.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/key_map.h"

using namespace crossfall;

namespace {

class Input : public testing::Test {
  protected:
    void SetUp() override {
        releaseAllHeldKeys();
        initInput();
        mouseX = 0;
        mouseY = 0;
    }
};

} // namespace

TEST(KeyMap, LettersAndDigitsFollowTheLayoutOtherKeysTheirPosition) {
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_A, SDLK_a), 65);
    // On AZERTY the key typing A sits where QWERTY has Q; the number row types symbols.
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_Q, SDLK_a), 65);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_SEMICOLON, SDLK_m), 77);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_1, SDLK_AMPERSAND), 49);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_0, SDLK_0), 48);
    // A non-Latin layout keeps the letter of the position.
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_F, 0x0430), 70);

    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_F1, SDLK_F1), 112);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_F12, SDLK_F12), 123);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_F13, SDLK_F13), 124);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_F24, SDLK_F24), 135);
    const int arrows[] = {virtualKeyOf(SDL_SCANCODE_LEFT, SDLK_LEFT), virtualKeyOf(SDL_SCANCODE_UP, SDLK_UP),
                          virtualKeyOf(SDL_SCANCODE_RIGHT, SDLK_RIGHT), virtualKeyOf(SDL_SCANCODE_DOWN, SDLK_DOWN)};
    EXPECT_EQ(arrows[0], 37);
    EXPECT_EQ(arrows[1], 38);
    EXPECT_EQ(arrows[2], 39);
    EXPECT_EQ(arrows[3], 40);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER), 13);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_KP_0, SDLK_KP_0), 96);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_KP_9, SDLK_KP_9), 105);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE), 111);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_RALT, SDLK_RALT), 165);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE), 192);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE), 222);
    EXPECT_EQ(virtualKeyOf(SDL_SCANCODE_VOLUMEUP, SDLK_VOLUMEUP), 0);
}

TEST_F(Input, SidedModifiersAlsoHoldTheGenericCodeUntilBothAreUp) {
    keyEvent(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, true);
    keyEvent(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, true);
    EXPECT_TRUE(keyHeld(160));
    EXPECT_TRUE(keyHeld(161));
    EXPECT_TRUE(keyHeld(16));
    keyEvent(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, false);
    EXPECT_FALSE(keyHeld(160));
    EXPECT_TRUE(keyHeld(16)) << "the right Shift is still down";
    keyEvent(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, false);
    EXPECT_FALSE(keyHeld(16));

    keyEvent(SDL_SCANCODE_LCTRL, SDLK_LCTRL, true);
    EXPECT_TRUE(keyHeld(162) && keyHeld(17));
    keyEvent(SDL_SCANCODE_LALT, SDLK_LALT, true);
    EXPECT_TRUE(keyHeld(164) && keyHeld(18));
}

TEST_F(Input, BothEntersShareOneCodeAndRepeatsChangeNothing) {
    keyEvent(SDL_SCANCODE_RETURN, SDLK_RETURN, true);
    keyEvent(SDL_SCANCODE_RETURN, SDLK_RETURN, true);
    keyEvent(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, true);
    keyEvent(SDL_SCANCODE_RETURN, SDLK_RETURN, false);
    EXPECT_TRUE(keyHeld(13));
    keyEvent(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, false);
    EXPECT_FALSE(keyHeld(13));
    keyEvent(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, false);
    keyEvent(SDL_SCANCODE_RETURN, SDLK_RETURN, true);
    EXPECT_TRUE(keyHeld(13)) << "a stray release never leaves a count behind";
}

TEST_F(Input, AKeyReleasedAfterALayoutSwitchLetsGoOfWhatItPressed) {
    keyEvent(SDL_SCANCODE_Q, SDLK_q, true);
    keyEvent(SDL_SCANCODE_Q, SDLK_a, false);
    EXPECT_FALSE(keyHeld('Q'));
    EXPECT_FALSE(keyHeld('A'));
}

TEST_F(Input, MouseButtonsAreKeysAndTheLeftOneIsTheStateByte) {
    const int codes[][2] = {{SDL_BUTTON_LEFT, 1}, {SDL_BUTTON_RIGHT, 2}, {SDL_BUTTON_MIDDLE, 4},
                            {SDL_BUTTON_X1, 5},   {SDL_BUTTON_X2, 6}};
    for (const auto& c : codes) {
        mouseButtonEvent(c[0], true);
        EXPECT_TRUE(keyHeld(c[1])) << c[1];
    }
    pollMouse();
    EXPECT_EQ(mouseState.buttons[0], 0x80);
    // A click is a level: still down at the next poll.
    pollMouse();
    EXPECT_EQ(mouseState.buttons[0], 0x80);
    releaseAllHeldKeys();
    pollMouse();
    EXPECT_EQ(mouseState.buttons[0], 0);
    for (const auto& c : codes) EXPECT_FALSE(keyHeld(c[1]));
}

TEST_F(Input, KeyHeldIsFalseOutsideTheTable) {
    setKeyDown(255, true);
    EXPECT_TRUE(keyHeld(255));
    for (int code : {-1, 256, INT_MIN, INT_MAX}) {
        setKeyDown(code, true);
        EXPECT_FALSE(keyHeld(code));
    }
}

TEST_F(Input, CursorClampsInOrderAfterTheMotion) {
    mouseX = 10;
    addMouseMotion(-900, 0);
    trackCursor(0, 0, 784, 584);
    EXPECT_EQ(mouseX, 0);
    mouseX = 10;
    addMouseMotion(900, 900);
    trackCursor(0, 0, 784, 584);
    EXPECT_EQ(mouseX, 784);
    EXPECT_EQ(mouseY, 584);

    // Coming from the full screen, the options panel's limits alone bring the cursor in.
    mouseX = 10;
    mouseY = 10;
    trackCursor(400, 100, 704, 492);
    EXPECT_EQ(mouseX, 400);
    EXPECT_EQ(mouseY, 100);

    // Motion is used once; huge motions never overflow the position.
    trackCursor(0, 0, 784, 584);
    EXPECT_EQ(mouseX, 400);
    addMouseMotion(INT_MAX, INT_MIN);
    addMouseMotion(INT_MAX, INT_MIN);
    trackCursor(0, 0, 784, 584);
    EXPECT_EQ(mouseX, 784);
    EXPECT_EQ(mouseY, 0);
}
