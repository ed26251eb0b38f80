// Start-up in its fixed order: the music starts before the controls are read, and the controls
// may stop it again before the first frame.
#include "app/start_up.h"

#include <ctime>
#include <string>

#include "app/game_frames.h"
#include "audio/sound.h"
#include "menus/controls_file.h"
#include "menus/settings_file.h"
#include "platform/backend.h"
#include "platform/bitmaps.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "platform/text.h"
#include "platform/video.h"
#include "rules/game_state.h"
#include "rules/random.h"
#include "scores/high_score_list.h"
#include "scores/high_scores.h"

namespace crossfall {
namespace {

void loadSounds() {
    loadSound(effectSounds[0], "sound1_x.wav");
    loadSound(effectSounds[1], "sound1_x.wav");
    loadSound(musicSound, "clevel1_sound.wav");
    musicSound.loop = 1;
    playSound(musicSound);
}

// Written, never read: the display's channel masks, for whoever looks at the game's folder.
void writeColorsFile() {
    saveTextFile("colors.txt",
                  std::to_string(redMask) + "," + std::to_string(greenMask) + "," + std::to_string(blueMask) + "\n");
}

} // namespace

bool startUp() {
    seedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    if (!initVideo()) return false;
    initSound();
    createAndLoadBitmaps();
    loadSounds();
    writeColorsFile();
    initInput();
    createFont();
    measureCharWidths(frontSurface);
    backend::showSystemCursor(false);
    initGameState();
    rulesSeam = liveRulesSeam();
    watchRowReplay = playRowReplay;
    resetControlsToDefaults();
    loadControls();
    loadSettings();
    if (musicOn == 0) stopSound(musicSound);
    resetHighScoreTable();
    inMenu = 1;
    return true;
}

} // namespace crossfall
