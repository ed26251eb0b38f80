// Input: every key's code, keys sharing a code, mouse buttons, the held-key query, the polled mouse
// state, the cursor clamps, and the pads: directions past the dead zone, the keys a pad presses only
// while a game step has set them, either of two pads, and the menu cursor's speed.
#include "platform/input.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <tuple>
#include <vector>

#include "platform/key_map.h"

using namespace crossfall;

namespace {

struct Input : testing::Test {
    void SetUp() override {
        releaseAllHeldKeys();
        initInput();
        setPadPlayKeys(PadPlayKeys{});
    }
    static void stick(int pad, int x, int y) {
        setPadAxis(pad, PadAxis::LeftX, x);
        setPadAxis(pad, PadAxis::LeftY, y);
    }
};

constexpr int NONE = -1, LEFT = int(PadButton::DpadLeft), RIGHT = int(PadButton::DpadRight),
              UP = int(PadButton::DpadUp), DOWN = int(PadButton::DpadDown);

} // namespace

TEST_F(Input, EveryKeyGivesTheCodeTheControlsFileStoresForIt) {
    // Keys named by their place, with the codes the controls file has always stored for them.
    const std::pair<SDL_Scancode, int> places[] = {
        {SDL_SCANCODE_BACKSPACE, 8},    {SDL_SCANCODE_TAB, 9},           {SDL_SCANCODE_RETURN, 13},
        {SDL_SCANCODE_KP_ENTER, 13},    {SDL_SCANCODE_PAUSE, 19},        {SDL_SCANCODE_CAPSLOCK, 20},
        {SDL_SCANCODE_ESCAPE, 27},      {SDL_SCANCODE_SPACE, 32},        {SDL_SCANCODE_PAGEUP, 33},
        {SDL_SCANCODE_PAGEDOWN, 34},    {SDL_SCANCODE_END, 35},          {SDL_SCANCODE_HOME, 36},
        {SDL_SCANCODE_LEFT, 37},        {SDL_SCANCODE_UP, 38},           {SDL_SCANCODE_RIGHT, 39},
        {SDL_SCANCODE_DOWN, 40},        {SDL_SCANCODE_PRINTSCREEN, 44},  {SDL_SCANCODE_INSERT, 45},
        {SDL_SCANCODE_DELETE, 46},      {SDL_SCANCODE_LGUI, 91},         {SDL_SCANCODE_RGUI, 92},
        {SDL_SCANCODE_APPLICATION, 93}, {SDL_SCANCODE_KP_0, 96},         {SDL_SCANCODE_KP_MULTIPLY, 106},
        {SDL_SCANCODE_KP_PLUS, 107},    {SDL_SCANCODE_KP_COMMA, 108},    {SDL_SCANCODE_KP_MINUS, 109},
        {SDL_SCANCODE_KP_PERIOD, 110},  {SDL_SCANCODE_KP_DIVIDE, 111},   {SDL_SCANCODE_NUMLOCKCLEAR, 144},
        {SDL_SCANCODE_SCROLLLOCK, 145}, {SDL_SCANCODE_LSHIFT, 160},      {SDL_SCANCODE_RSHIFT, 161},
        {SDL_SCANCODE_LCTRL, 162},      {SDL_SCANCODE_RCTRL, 163},       {SDL_SCANCODE_LALT, 164},
        {SDL_SCANCODE_RALT, 165},       {SDL_SCANCODE_SEMICOLON, 186},   {SDL_SCANCODE_EQUALS, 187},
        {SDL_SCANCODE_COMMA, 188},      {SDL_SCANCODE_MINUS, 189},       {SDL_SCANCODE_PERIOD, 190},
        {SDL_SCANCODE_SLASH, 191},      {SDL_SCANCODE_GRAVE, 192},       {SDL_SCANCODE_LEFTBRACKET, 219},
        {SDL_SCANCODE_BACKSLASH, 220},  {SDL_SCANCODE_RIGHTBRACKET, 221}, {SDL_SCANCODE_APOSTROPHE, 222},
        {SDL_SCANCODE_NONUSBACKSLASH, 226}};
    // Letters, the digit row, keypad digits and F1 to F24 by place too, in runs; other keys give nothing.
    std::vector<int> code(SDL_NUM_SCANCODES, 0);
    for (auto [scancode, vk] : places) code[scancode] = vk;
    for (int i = 0; i < 26; ++i) code[SDL_SCANCODE_A + i] = 'A' + i;
    for (int i = 0; i < 10; ++i) code[SDL_SCANCODE_1 + i] = '0' + (i + 1) % 10;
    for (int i = 0; i < 9; ++i) code[SDL_SCANCODE_KP_1 + i] = 97 + i;
    for (int i = 0; i < 12; ++i) code[SDL_SCANCODE_F1 + i] = 112 + i, code[SDL_SCANCODE_F13 + i] = 124 + i;
    // With no keycode, or one of a non-Latin layout, every key goes by its place.
    for (SDL_Keycode keycode : {0, 128, 0x430})
        for (int s = 0; s < SDL_NUM_SCANCODES; ++s)
            EXPECT_EQ(virtualKeyOf(SDL_Scancode(s), keycode), code[s]) << s << " " << keycode;
    // A Latin layout's letters and digits go by the layout (on AZERTY, A sits where QWERTY has Q).
    const std::tuple<SDL_Scancode, SDL_Keycode, int> layout[] = {
        {SDL_SCANCODE_Q, SDLK_a, 'A'}, {SDL_SCANCODE_W, SDLK_z, 'Z'},  {SDL_SCANCODE_SEMICOLON, SDLK_m, 'M'},
        {SDL_SCANCODE_P, SDLK_0, '0'}, {SDL_SCANCODE_O, SDLK_9, '9'},  {SDL_SCANCODE_1, SDLK_AMPERSAND, '1'},
        {SDL_SCANCODE_F12, SDLK_F12, 123}, {SDL_SCANCODE_UP, SDLK_UP, 38}, {SDL_SCANCODE_M, SDLK_COMMA, 0}};
    for (const auto& [scancode, keycode, vk] : layout) EXPECT_EQ(virtualKeyOf(scancode, keycode), vk);
    for (int vk = 0; vk < 256; ++vk)
        EXPECT_EQ(genericModifierOf(vk), vk >= 160 && vk <= 165 ? 16 + (vk - 160) / 2 : 0) << vk;
    const int buttons[] = {0, 1, 4, 2, 5, 6, 0, 0}; // SDL's left, middle, right, X1, X2
    for (int b = -1; b < 8; ++b) EXPECT_EQ(virtualKeyOfMouseButton(b), b < 0 ? 0 : buttons[b]) << b;
}

TEST_F(Input, CodesStayHeldWhileAnyKeyGivingThemIsDown) {
    // Each key event, the code checked and whether it is held (0 never is); stray releases count nothing.
    const std::tuple<SDL_Scancode, bool, int, bool> script[] = {
        {SDL_SCANCODE_LSHIFT, true, 16, true},    {SDL_SCANCODE_RSHIFT, true, 161, true},
        {SDL_SCANCODE_LSHIFT, false, 160, false}, {SDL_SCANCODE_LSHIFT, false, 16, true},
        {SDL_SCANCODE_RSHIFT, false, 16, false},  {SDL_SCANCODE_LCTRL, true, 17, true},
        {SDL_SCANCODE_RALT, true, 18, true},      {SDL_SCANCODE_RETURN, true, 13, true},
        {SDL_SCANCODE_RETURN, true, 13, true},    {SDL_SCANCODE_KP_ENTER, true, 13, true},
        {SDL_SCANCODE_RETURN, false, 13, true},   {SDL_SCANCODE_KP_ENTER, false, 13, false},
        {SDL_SCANCODE_KP_ENTER, false, 13, false}, {SDL_SCANCODE_RETURN, true, 13, true},
        {SDL_SCANCODE_LCTRL, false, 17, false}};
    for (const auto& [scancode, down, code, held] : script) {
        keyEvent(scancode, SDLK_UNKNOWN, down);
        EXPECT_EQ(std::pair(keyHeld(code), keyHeld(0)), std::pair(held, false)) << scancode << " " << down;
    }
    for (bool down : {true, false}) { // a key with no place (an on-screen keyboard's) goes by its letter
        keyEvent(SDL_SCANCODE_UNKNOWN, SDLK_q, down);
        EXPECT_EQ(keyHeld('Q'), down);
    }
    releaseAllHeldKeys();
    keyEvent(SDL_SCANCODE_RETURN, SDLK_RETURN, true);
    EXPECT_TRUE(keyHeld(13)) << "a key held when the focus went is pressed afresh";
    for (int code : {0, 255, -1, 256, INT_MIN, INT_MAX}) {
        setKeyDown(code, true);
        EXPECT_EQ(keyHeld(code), code == 0 || code == 255) << "only codes inside the table: " << code;
    }
}

TEST_F(Input, APressCountsOnceUntilClearedEvenIfLetGoAtOnceAndARepeatIsNoPress) {
    // Each step, then whether Enter reads as pressed.
    const std::pair<std::function<void()>, bool> script[] = {
        {[] { setKeyDown(VK_RETURN, true); }, true},  {[] { setKeyDown(VK_RETURN, false); }, true},
        {clearKeyPresses, false},                     {[] { setKeyDown(VK_RETURN, true); }, true},
        {clearKeyPresses, false},                     {[] { setKeyDown(VK_RETURN, true); }, false},
        {[] { setKeyDown(VK_RETURN, false); }, false}, {[] { setKeyDown(VK_RETURN, true); }, true},
        {releaseAllKeys, false},                      {[] { setKeyDown(VK_ESCAPE, true); }, false}};
    for (std::size_t k = 0; k < std::size(script); ++k) {
        script[k].first();
        EXPECT_EQ(keyPressed(VK_RETURN), script[k].second) << "step " << k;
    }
    for (int code : {0, 255, -1, 256, INT_MIN}) {
        setKeyDown(code, true);
        EXPECT_EQ(keyPressed(code), code == 0 || code == 255) << "only codes inside the table: " << code;
    }
}

TEST_F(Input, APollTakesTheMotionOnceAndTheButtonsAndTheCursorClampsInOrderAfterTheMotion) {
    constexpr int M = 1 << 20;
    // A fresh start forgets the last poll and a d-pad's speed.
    setPadButton(0, PadButton::DpadRight, true);
    setKeyDown(VK_LBUTTON, true);
    for (int f = 0; f < 30; ++f) pollMouse();
    initInput();
    EXPECT_EQ(std::pair(mouseState.dx, int(mouseState.buttons[0])), std::pair(0, 0));
    pollMouse();
    EXPECT_EQ(mouseState.dx, 2) << "the d-pad starts slow again";
    releaseAllKeys();
    addMouseMotion(5, 5);
    initInput();
    // An SDL button pressed (down) or let go, the motion added, then dx, dy, dz and the buttons polled.
    const std::tuple<int, bool, int, int, std::vector<int>> script[] = {
        {0, false, 0, 0, {0, 0, 0, 0, 0, 0, 0}}, // a fresh start forgets old motion
        {SDL_BUTTON_LEFT, true, 3, -4, {3, -4, 0, 0x80, 0, 0, 0}},
        {SDL_BUTTON_LEFT, false, 0, 0, {0, 0, 0, 0, 0, 0, 0}},
        {SDL_BUTTON_RIGHT, true, M, -M, {M, -M, 0, 0, 0x80, 0, 0}},
        {SDL_BUTTON_MIDDLE, true, M + 1, -M - 1, {M, -M, 0, 0, 0x80, 0x80, 0}},
        {SDL_BUTTON_X2, true, INT_MAX, INT_MIN, {M, -M, 0, 0, 0x80, 0x80, 0}}};
    for (const auto& [button, down, dx, dy, read] : script) {
        mouseButtonEvent(button, down);
        addMouseMotion(dx, dy);
        pollMouse();
        const MouseState& m = mouseState;
        const std::uint8_t* b = m.buttons;
        EXPECT_EQ((std::vector<int>{m.dx, m.dy, m.dz, b[0], b[1], b[2], b[3]}), read);
    }
    EXPECT_TRUE(keyHeld(6) && keyHeld(4) && keyHeld(2)) << "mouse buttons are keys too";
    // The cursor: motion from (100, 100), limits (min x, min y, max x, max y), and where the cursor ends.
    const int cases[][8] = {{-51, -41, 50, 60, 150, 160, 50, 60}, {-49, -39, 50, 60, 150, 160, 51, 61},
                            {51, 61, 50, 60, 150, 160, 150, 160}, {49, 59, 50, 60, 150, 160, 149, 159},
                            {0, 0, 500, 500, 300, 300, 300, 300}};
    for (const auto& c : cases) {
        mouseX = mouseY = 100;
        addMouseMotion(c[0], c[1]);
        trackCursor(c[2], c[3], c[4], c[5]);
        EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(c[6], c[7])) << c[0] << "," << c[1];
        trackCursor(0, 0, 784, 584);
        EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(c[6], c[7])) << "the motion is used once";
    }
}

TEST_F(Input, TheStickCountsPastItsDeadZoneInEightWaysAndAPadPressesKeysOnlyWhileAGameSetsThem) {
    // Pad 0's stick, pad 1's (the further push counts, the first pad's on a tie), a d-pad button held
    // on pad 3, and the directions pushed. A diagonal counts within 67.5 degrees of an axis.
    const std::tuple<int, int, int, int, int, const char*> cases[] = {
        {0, 0, 0, 0, NONE, ""},         {8000, 0, 0, 0, NONE, ""},         {8001, 0, 0, 0, NONE, "R"},
        {-8000, 0, 0, 0, NONE, ""},     {-8001, 0, 0, 0, NONE, "L"},       {0, -8001, 0, 0, NONE, "U"},
        {0, 8001, 0, 0, NONE, "D"},     {-32768, 0, 0, 0, NONE, "L"},      {32767, 32767, 0, 0, NONE, "RD"},
        {7999, -7999, 0, 0, NONE, ""},  {30000, 12500, 0, 0, NONE, "RD"},  {30000, 12400, 0, 0, NONE, "R"},
        {-12400, -30000, 0, 0, NONE, "U"}, {-12500, -30000, 0, 0, NONE, "LU"}, {0, 0, 0, 0, UP, "U"},
        {8284, 20000, 0, 0, NONE, "RD"}, {5000, 0, -9000, 0, NONE, "L"},   {0, 20000, 0, -19999, NONE, "D"},
        {0, 20000, 0, -20000, NONE, "D"}, {0, 0, 0, 0, LEFT, "L"},         {0, 0, 0, 0, RIGHT, "R"},
        {0, 0, 0, 0, DOWN, "D"},        {0, 0, 0, 0, int(PadButton::South), ""}};
    for (const auto& [x, y, x1, y1, button, pushed] : cases) {
        stick(0, x, y);
        stick(1, x1, y1);
        if (button != NONE) setPadButton(3, PadButton(button), true);
        const PadDirections d = padDirections();
        const std::string seen = std::string(d.left ? "L" : "") + (d.right ? "R" : "") + (d.up ? "U" : "");
        EXPECT_EQ(seen + (d.down ? "D" : ""), pushed) << x << "," << y << " " << x1 << "," << y1;
        releasePad(3);
    }
    // A pad presses the keys a game step has set, and only then; either of two pads plays.
    setPadButton(2, PadButton::DpadDown, true);
    setPadButton(2, PadButton::DpadUp, true);
    EXPECT_FALSE(keyHeld('S') || keyHeld('Y')) << "no game step has set the keys";
    // Outside Cross-fall up presses nothing (no binding) and down also hurries.
    setPadPlayKeys(PadPlayKeys{'A', 'D', 0, 'S', 'J', 'K', 'L', 'H', 27, 'Y'});
    EXPECT_TRUE(keyHeld('S') && keyHeld('Y') && !keyHeld(0) && !keyHeld('A'));
    stick(1, -20000, 0);
    EXPECT_TRUE(keyHeld('A') && keyHeld('S')) << "a second pad plays beside the first";
    releasePad(2);
    EXPECT_TRUE(keyHeld('A') && !keyHeld('S')) << "a pulled pad lets go of only its own";
    // Pads outside the slots change nothing: no key, button or direction, and no cursor motion.
    const auto state = [] {
        std::string held;
        for (int code = 0; code < 256; ++code) held += keyHeld(code) ? '1' : '0';
        const PadDirections d = padDirections();
        return held + (padButtonHeld(PadButton::South) ? "S" : "") + (d.left ? "L" : "") + (d.down ? "D" : "");
    };
    const std::string before = state();
    for (int pad : {-1, MAX_PADS}) {
        setPadButton(pad, PadButton::South, true);
        setPadAxis(pad, PadAxis::LeftY, 30000);
    }
    EXPECT_EQ(state(), before);
    for (int pad : {-1, MAX_PADS}) releasePad(pad);
    EXPECT_EQ(state(), before);
    releaseAllKeys();
    EXPECT_FALSE(keyHeld('A')) << "focus lost lets go of the pads too";
}

TEST_F(Input, TheCursorCrossesTheScreenInAboutASecondCreepsOnASlightPushAndIgnoresDrift) {
    // Pad 0's stick, a d-pad button, frames, and the travel. The stick moves 14 pixels a frame times the push
    // (value - 8000) / (32767 - 8000) squared; the d-pad 2 pixels, 0.5 more each frame, up to 14. A pixel's
    // unspent fraction is kept while the pad moves and dropped after.
    const std::tuple<int, int, int, int, int, int> cases[] = {
        {32767, 0, NONE, 60, 840, 0}, {0, -32768, NONE, 60, 0, -840}, {40000, 0, NONE, 1, 14, 0},
        {20000, 0, NONE, 60, 197, 0}, {9000, 9000, NONE, 60, 1, 1},   {7999, -8000, NONE, 600, 0, 0},
        {12000, 12000, NONE, 2, 0, 0}, {12000, 12000, NONE, 1, 0, 0}, {0, 0, RIGHT, 1, 2, 0},
        {0, 0, UP, 24, 0, -186},      {0, 0, DOWN, 25, 0, 200},       {0, 0, LEFT, 60, -690, 0},
        {-32767, 0, DOWN, 1, -14, 2}};
    for (const auto& [x, y, button, frames, dx, dy] : cases) {
        stick(0, x, y);
        if (button != NONE) setPadButton(0, PadButton(button), true);
        mouseX = mouseY = 0;
        for (int f = 0; f < frames; ++f) trackCursor(INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2);
        EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(dx, dy)) << x << "," << y << " " << button;
        releasePad(0);
        pollMouse();
    }
    // A push just past the dead zone is a push: the unspent fraction is kept through it, not dropped.
    for (const auto& [slight, travel] : {std::pair{8001, 13}, {8000, 12}}) {
        mouseX = 0;
        for (const int x : {20000, slight, 20000, 20000, 20000}) {
            stick(0, x, 0);
            trackCursor(0, 0, 784, 584);
        }
        EXPECT_EQ(mouseX, travel) << slight;
    }
}
