// Any bytes as the controls file: reading must never crash or read past its buffer, and whatever
// values it leaves must save and load back unchanged.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "menus/controls_file.h"

using namespace crossfall;

namespace {

std::array<std::int32_t, 13> currentValues() {
    return {keyBindings[0], keyBindings[1], keyBindings[2],   keyBindings[3],  keyBindings[4],
            keyBindings[5], keyBindings[6], keyBindings[7],   advanced4Way,    showPiecePreview,
            showGridPreview, showCurrentGrid, musicOn};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen("myControls.txt", "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);

    resetControlsToDefaults();
    loadControls();
    const std::array<std::int32_t, 13> loaded = currentValues();
    if (!saveControls()) std::abort();
    resetControlsToDefaults();
    loadControls();
    if (currentValues() != loaded) std::abort();
    return 0;
}
