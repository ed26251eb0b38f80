// "myControls.txt": thirteen decimal lines and a closing sentence.
#include "menus/controls_file.h"

#include <string>

#include "platform/files.h"
#include "platform/tokens.h"

namespace crossfall {

namespace {

constexpr std::int32_t DEFAULTS[CONTROL_VALUES] = {162, 163, 32, 9, 37, 39, 37, 39, 0, 1, 1, 1, 1};
constexpr const char* CONTROLS_FILE = "myControls.txt";
constexpr const char* CLOSING_SENTENCE = "This file contains control settings.  Do not delete or edit it!";
// Far more than thirteen numbers need; the rest of a huge file is never read.
constexpr std::size_t READ_LIMIT = 64 * 1024;

// The thirteen values in file order.
std::int32_t* const fileOrder[CONTROL_VALUES] = {
    &keyBindings[0], &keyBindings[1], &keyBindings[2], &keyBindings[3], &keyBindings[4],
    &keyBindings[5], &keyBindings[6], &keyBindings[7], &advanced4Way,   &showPiecePreview,
    &showGridPreview, &showCurrentGrid, &musicOn,
};

} // namespace

void getControlValues(std::span<std::int32_t, CONTROL_VALUES> values) {
    for (int i = 0; i < CONTROL_VALUES; ++i) values[i] = *fileOrder[i];
}

void setControlValues(std::span<const std::int32_t, CONTROL_VALUES> values) {
    for (int i = 0; i < CONTROL_VALUES; ++i) *fileOrder[i] = values[i];
}

void resetControlsToDefaults() { setControlValues(DEFAULTS); }

std::string controlsText() {
    std::string text;
    text.reserve(CONTROL_VALUES * 12 + 64); // thirteen numbers and the sentence
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
