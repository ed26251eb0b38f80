// Any bytes as the controls file's contents, in memory: the reader must never crash or read past its
// bytes, and must leave the thirteen values as a string stream's extraction with base detection does.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iomanip>
#include <sstream>
#include <string>
#include <string_view>

#include "menus/controls_file.h"

using namespace crossfall;

namespace {

using Values = std::array<std::int32_t, 13>;

Values currentValues() {
    return {keyBindings[0], keyBindings[1], keyBindings[2],   keyBindings[3],  keyBindings[4],
            keyBindings[5], keyBindings[6], keyBindings[7],   advanced4Way,    showPiecePreview,
            showGridPreview, showCurrentGrid, musicOn};
}

// Thirteen extractions in file order, stopping at the first failure.
Values streamValues(std::string_view bytes, Values values) {
    std::istringstream stream{std::string(bytes)};
    stream >> std::setbase(0);
    for (std::int32_t& value : values)
        if (!(stream >> value)) break;
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    resetControlsToDefaults();
    const Values defaults = currentValues();
    readControls(bytes);
    if (currentValues() != streamValues(bytes, defaults)) std::abort();
    return 0;
}
