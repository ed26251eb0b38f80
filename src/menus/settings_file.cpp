// "settings.txt": the block symbols and race switches, read strictly and saved whole.
#include "menus/settings_file.h"

#include <array>
#include <string>

#include "platform/config_file.h"
#include "play/field_drawing.h"
#include "play/race_view.h"

namespace crossfall {
namespace {

constexpr const char* FILE_NAME = "settings.txt";
constexpr std::array<ConfigKey, 2> KEYS = {{{"block-symbols", 0, 1}, {"race-your-best", 0, 1}}};

bool anyKeys(const ConfigValues&) {
    return true;
}

} // namespace

void loadSettings() {
    const auto values = loadConfig(FILE_NAME, KEYS, anyKeys, "the settings start as new");
    blockSymbols = values && values->seen[0] ? values->value[0] : 0;
    raceYourBest = values && values->seen[1] ? values->value[1] : 0;
}

bool saveSettings() {
    return saveConfigFile(FILE_NAME, "block-symbols=" + std::to_string(blockSymbols) +
                                         "\nrace-your-best=" + std::to_string(raceYourBest) + "\n");
}

} // namespace crossfall
