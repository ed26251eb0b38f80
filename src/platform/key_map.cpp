// The key table: layout letters and digits first, then positions; held counts per code so two keys
// that give one code (both Enters, either Shift for the generic one) release it only together.
#include "platform/key_map.h"

#include <array>

#include "platform/input.h"

namespace crossfall {
namespace {

struct Position {
    SDL_Scancode scancode;
    int virtualKey;
};

constexpr Position POSITIONS[] = {
    {SDL_SCANCODE_BACKSPACE, 8},      {SDL_SCANCODE_TAB, 9},          {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13},      {SDL_SCANCODE_PAUSE, 19},       {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, 27},        {SDL_SCANCODE_SPACE, 32},       {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},      {SDL_SCANCODE_END, 35},         {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37},          {SDL_SCANCODE_UP, 38},          {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40},          {SDL_SCANCODE_PRINTSCREEN, 44}, {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},        {SDL_SCANCODE_LGUI, 91},        {SDL_SCANCODE_RGUI, 92},
    {SDL_SCANCODE_APPLICATION, 93},   {SDL_SCANCODE_KP_0, 96},        {SDL_SCANCODE_KP_1, 97},
    {SDL_SCANCODE_KP_2, 98},          {SDL_SCANCODE_KP_3, 99},        {SDL_SCANCODE_KP_4, 100},
    {SDL_SCANCODE_KP_5, 101},         {SDL_SCANCODE_KP_6, 102},       {SDL_SCANCODE_KP_7, 103},
    {SDL_SCANCODE_KP_8, 104},         {SDL_SCANCODE_KP_9, 105},       {SDL_SCANCODE_KP_MULTIPLY, 106},
    {SDL_SCANCODE_KP_PLUS, 107},      {SDL_SCANCODE_KP_COMMA, 108},   {SDL_SCANCODE_KP_MINUS, 109},
    {SDL_SCANCODE_KP_PERIOD, 110},    {SDL_SCANCODE_KP_DIVIDE, 111},  {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    {SDL_SCANCODE_SCROLLLOCK, 145},   {SDL_SCANCODE_LSHIFT, 160},     {SDL_SCANCODE_RSHIFT, 161},
    {SDL_SCANCODE_LCTRL, 162},        {SDL_SCANCODE_RCTRL, 163},      {SDL_SCANCODE_LALT, 164},
    {SDL_SCANCODE_RALT, 165},         {SDL_SCANCODE_SEMICOLON, 186},  {SDL_SCANCODE_EQUALS, 187},
    {SDL_SCANCODE_COMMA, 188},        {SDL_SCANCODE_MINUS, 189},      {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},        {SDL_SCANCODE_GRAVE, 192},      {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},    {SDL_SCANCODE_RIGHTBRACKET, 221}, {SDL_SCANCODE_APOSTROPHE, 222},
    {SDL_SCANCODE_NONUSBACKSLASH, 226},
};

// Per physical key, the codes it holds while down (set at the press, so a layout switch mid-press cannot strand a key).
struct Held {
    std::array<int, SDL_NUM_SCANCODES> keyOf{};
    std::array<int, 256> count{};
};
Held held; // once per run; emptied when the focus is lost

// Mouse buttons sit past the scancodes in the same table.
constexpr int MOUSE_SLOT = SDL_NUM_SCANCODES - 8;

void hold(int code, bool down) {
    if (code <= 0 || code > 255) return;
    int& count = held.count[static_cast<std::size_t>(code)];
    count = down ? count + 1 : (count > 0 ? count - 1 : 0);
    setKeyDown(code, count > 0);
}

void press(int slot, int code, bool down) {
    if (slot < 0 || slot >= SDL_NUM_SCANCODES) return;
    int& current = held.keyOf[static_cast<std::size_t>(slot)];
    if (down == (current != 0)) return;
    if (down) current = code;
    if (current == 0) return;
    hold(current, down);
    hold(genericModifierOf(current), down);
    if (!down) current = 0;
}

} // namespace

int virtualKeyOf(SDL_Scancode scancode, SDL_Keycode keycode) {
    if (keycode >= 'a' && keycode <= 'z') return keycode - 'a' + 'A';
    if (keycode >= '0' && keycode <= '9') return keycode;
    for (const Position& p : POSITIONS)
        if (p.scancode == scancode) return p.virtualKey;
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return 112 + (scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) return 124 + (scancode - SDL_SCANCODE_F13);
    // A letter position typing no Latin letter (a non-Latin layout) keeps its letter by position.
    bool latinLayoutSymbol = keycode > 0 && keycode < 128;
    if (!latinLayoutSymbol && scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
    return 0;
}

int genericModifierOf(int virtualKey) {
    switch (virtualKey) {
    case 160: case 161: return 16;
    case 162: case 163: return 17;
    case 164: case 165: return 18;
    default: return 0;
    }
}

int virtualKeyOfMouseButton(int sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 4;
    case SDL_BUTTON_X1: return 5;
    case SDL_BUTTON_X2: return 6;
    default: return 0;
    }
}

void keyEvent(SDL_Scancode scancode, SDL_Keycode keycode, bool down) {
    press(scancode, down ? virtualKeyOf(scancode, keycode) : 0, down);
}

void mouseButtonEvent(int sdlButton, bool down) {
    int code = virtualKeyOfMouseButton(sdlButton);
    if (code != 0) press(MOUSE_SLOT + code, code, down);
}

void releaseAllHeldKeys() {
    held = Held{};
    releaseAllKeys();
}

} // namespace crossfall
