// The capture scan and the name table of the virtual-key codes the game can show.
#include "menus/key_names.h"

#include <cstdio>
#include <cstring>

#include "platform/input.h"

namespace crossfall {

// Set and cleared by the options screen within one frame.
std::int32_t leftCtrlHeld = 0;
std::int32_t rightCtrlHeld = 0;
std::int32_t leftShiftHeld = 0;
std::int32_t rightShiftHeld = 0;

namespace {

constexpr int HIGHEST_CAPTURED_CODE = 250;

struct KeyNameEntry {
    int code;
    const char* name;
};

constexpr KeyNameEntry fixedNames[] = {
    {9, "Tab Key"},      {12, "Form Feed"},    {13, "Enter Key"},     {32, "Space Bar"},
    {33, "Page Up"},     {34, "Page Down"},    {35, "End"},           {36, "Home"},
    {37, "Left Key"},    {38, "Up Key"},       {39, "Right Key"},     {40, "Down Key"},
    {45, "Insert"},      {46, "Delete"},       {96, "Num0"},          {97, "Num1"},
    {98, "Num2"},        {99, "Num3"},         {100, "Num4"},         {101, "Num5"},
    {102, "Num6"},       {103, "Num7"},        {104, "Num8"},         {105, "Num9"},
    {160, "Left Shift"}, {161, "Right Shift"}, {162, "Left Control"}, {163, "Right Control"},
};

// Turns a generic code into its sided one when the hint is set (the screen clears the hints after).
void takeHint(int& code, int generic, std::int32_t hint, int sided) {
    if (code == generic && hint != 0) code = sided;
}

} // namespace

int captureKey(bool (*down)(int)) {
    for (int code = 0; code <= HIGHEST_CAPTURED_CODE; ++code) {
        if (!down(code)) continue;
        takeHint(code, VK_CONTROL, leftCtrlHeld, 162);
        takeHint(code, VK_CONTROL, rightCtrlHeld, 163);
        takeHint(code, VK_SHIFT, leftShiftHeld, 160);
        takeHint(code, VK_SHIFT, rightShiftHeld, 161);
        return code;
    }
    return 0;
}

void keyName(int code, char (&out)[KEY_NAME_SIZE]) {
    std::snprintf(out, sizeof out, "?");
    if ((code >= 47 && code <= 94) || (code >= 97 && code <= 126)) std::snprintf(out, sizeof out, "%c", code);
    for (const KeyNameEntry& entry : fixedNames)
        if (entry.code == code) std::snprintf(out, sizeof out, "%s", entry.name);
}

} // namespace crossfall
