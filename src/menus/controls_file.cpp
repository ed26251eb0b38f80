// "myControls.txt": thirteen decimal lines and a closing sentence.
#include "menus/controls_file.h"

#include <string>

#include "platform/files.h"
#include "platform/tokens.h"

namespace crossfall {

namespace {
constexpr int VALUE_COUNT = 13;
constexpr std::int32_t DEFAULTS[VALUE_COUNT] = {162, 163, 32, 9, 37, 39, 37, 39, 0, 1, 1, 1, 1};
} // namespace

std::int32_t keyBindings[8] = {DEFAULTS[0], DEFAULTS[1], DEFAULTS[2], DEFAULTS[3],
                               DEFAULTS[4], DEFAULTS[5], DEFAULTS[6], DEFAULTS[7]};
std::int32_t& keyRotateCCW = keyBindings[0];
std::int32_t& keyRotateCW = keyBindings[1];
std::int32_t& keyDrop = keyBindings[2];
std::int32_t& keyHurry = keyBindings[3];
std::int32_t& keyLeft = keyBindings[4];
std::int32_t& keyRight = keyBindings[5];
std::int32_t& keyUp = keyBindings[6];
std::int32_t& keyDown = keyBindings[7];

std::int32_t advanced4Way = DEFAULTS[8];
std::int32_t showPiecePreview = DEFAULTS[9];
std::int32_t showGridPreview = DEFAULTS[10];
std::int32_t showCurrentGrid = DEFAULTS[11];
std::int32_t musicOn = DEFAULTS[12];

namespace {

constexpr const char* CONTROLS_FILE = "myControls.txt";
constexpr const char* CLOSING_SENTENCE = "This file contains control settings.  Do not delete or edit it!";
// Far more than thirteen numbers need; the rest of a huge file is never read.
constexpr std::size_t READ_LIMIT = 64 * 1024;

// The thirteen values in file order.
std::int32_t* const fileOrder[VALUE_COUNT] = {
    &keyBindings[0], &keyBindings[1], &keyBindings[2], &keyBindings[3], &keyBindings[4],
    &keyBindings[5], &keyBindings[6], &keyBindings[7], &advanced4Way,   &showPiecePreview,
    &showGridPreview, &showCurrentGrid, &musicOn,
};

} // namespace

void resetControlsToDefaults() {
    for (int i = 0; i < VALUE_COUNT; ++i) *fileOrder[i] = DEFAULTS[i];
}

std::string controlsText() {
    std::string text;
    text.reserve(VALUE_COUNT * 12 + 64); // thirteen numbers and the sentence
    for (const std::int32_t* value : fileOrder) {
        text += std::to_string(*value);
        text += '\n';
    }
    return text + CLOSING_SENTENCE;
}

bool saveControls() { return saveTextFile(CONTROLS_FILE, controlsText()); }

void readControls(std::string_view bytes) {
    TokenReader reader(bytes);
    for (std::int32_t* value : fileOrder)
        if (!reader.readInt(*value, IntSyntax::AnyBase)) return;
}

void loadControls() {
    if (const std::optional<std::string> text = readTokenFile(CONTROLS_FILE, READ_LIMIT)) readControls(*text);
}

} // namespace crossfall
