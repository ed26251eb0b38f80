// A fresh run, as a player starts the program, through every screen by the real main loop: the menu
// idle and under each entry, the list of all tables, Resume before any game, the options with every row,
// switch and link, a Cross-fall game with obstacles and advanced controls, a Classic game to its end,
// the initials, and Exit. Every picture shown and every sample mixed is digested and pinned step by
// step in tests/golden/fresh_run.pins; the files the run leaves are compared as text. The run happens in
// a new process, so every value the program starts with plays its part. After a deliberate change:
// CROSSFALL_RECORD_PICTURES=1 build/test_app --gtest_filter='FreshRun.*' writes the pins again.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "app/start_up.h"
#include "audio/mixer.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "rules/game_state.h"
#include "rules/random.h"
#include "support/picture.h"

namespace crossfall {
namespace {

namespace fs = std::filesystem;

// Passes with the cursor moved to (x, y) and these codes held in each, or in every other one (a negative
// code: a pad button).
struct Step {
    int passes, x, y;
    std::initializer_list<int> held;
    int every = 1;
};

constexpr int CLICK = VK_LBUTTON, PAD_UP = -1 - int(PadButton::DpadUp), PAD_START = -1 - int(PadButton::Start);
constexpr int F2 = 113, LEFT = 37, UP = 38, RIGHT = 39, DOWN = 40;

const Step JOURNEY[] = {
    {3, 0, 0, {}}, // the menu as it opens, the cursor in its corner
    {2, 200, 150, {}}, {2, 200, 205, {}}, {2, 200, 240, {}}, {2, 200, 278, {}}, {2, 200, 314, {}},
    {2, 200, 350, {}}, {2, 200, 389, {}}, {2, 200, 420, {}}, {2, 200, 478, {}},   // each entry hovered
    {1, 200, 350, {CLICK}}, {2, 200, 350, {}},                                     // obstacles on
    {1, 560, 425, {}}, {1, 560, 425, {CLICK}}, {3, 400, 300, {}}, {1, 5000, 5000, {}}, // the list and back
    {1, 400, 515, {}},
    {1, 400, 515, {CLICK}}, {2, 405, 105, {VK_RETURN}},
    {1, 200, 150, {CLICK}}, {40, 300, 300, {}}, {30, 300, 300, {LEFT, 162}}, {20, 300, 300, {9}}, // Resume
    {1, 300, 300, {VK_ESCAPE}},
    {1, 200, 420, {CLICK}},                                                        // the options
    {2, 450, 120, {VK_CONTROL, 163}}, {2, 450, 155, {}}, {1, 450, 190, {F2}}, {2, 450, 225, {}}, {1, 450, 260, {CLICK}},
    {1, 450, 295, {CLICK}}, {1, 450, 330, {CLICK}}, {1, 450, 330, {CLICK}}, {1, 450, 365, {CLICK}},
    {1, 450, 365, {CLICK}}, {1, 430, 400, {VK_SHIFT, 161}}, {2, 560, 400, {}}, {1, 430, 437, {'W'}},
    {1, 560, 437, {VK_CONTROL, 163}}, {2, 450, 466, {}}, {1, 450, 466, {CLICK}}, {2, 450, 485, {}},
    {1, 450, 485, {CLICK}}, {2, 200, 420, {}},
    {1, 200, 278, {CLICK}}, {30, 200, 278, {}}, {60, 200, 278, {LEFT, UP}}, // Cross-fall, advanced arrows
    {30, 200, 278, {RIGHT, DOWN, VK_CONTROL}}, {20, 200, 278, {F2}, 3}, {1, 200, 278, {VK_ESCAPE}},
    {1, 200, 205, {CLICK}}, {40, 300, 300, {F2}, 2},                         // Classic, dropped to its end
    {1, 300, 300, {'B'}}, {1, 300, 300, {'O'}}, {1, 300, 300, {VK_BACK}}, {1, 300, 300, {'T'}},
    {1, 300, 300, {PAD_UP}}, {2, 300, 300, {}}, {1, 300, 300, {PAD_START}}, // the initials
    {5, 300, 300, {}}, {1, 300, 300, {VK_ESCAPE}}, {3, 700, 560, {}},
    {1, 560, 425, {CLICK}}, {2, 560, 425, {}}, {1, 560, 425, {VK_ESCAPE}}, {1, 200, 478, {CLICK}}, // Exit
};

struct Journey {
    std::size_t step = 0;
    int passInStep = 0;
    std::uint64_t sound = 0; // the mixed samples so far
    std::string pins;        // per step: passes run, pictures digest, sound digest
} journey;
std::string folder = "crossfall-fresh-run-XXXXXX"; // made in the temporary folder by the new process

// Holds the step's input for this pass, or posts the quit once the journey is over.
void hold() {
    releaseAllKeys();
    if (journey.step == std::size(JOURNEY)) return postQuit(3);
    const Step& s = JOURNEY[journey.step];
    addMouseMotion(s.x - mouseX, s.y - mouseY);
    if (journey.passInStep % s.every != 0) return;
    for (int code : s.held)
        code < 0 ? setPadButton(0, PadButton(-1 - code), true) : setKeyDown(code, true);
}

// After the pass: a 60th of a second of sound, and the pins at the end of each step.
void after() {
    std::int16_t samples[735 * 2];
    mixAudio(samples, 735);
    for (std::int16_t s : samples) journey.sound = (journey.sound ^ static_cast<std::uint16_t>(s)) * 0x100000001B3ull;
    if (journey.step == std::size(JOURNEY) || ++journey.passInStep < JOURNEY[journey.step].passes) return;
    char line[64];
    std::snprintf(line, sizeof line, "%zu %016llx %016llx\n", journey.step,
                  static_cast<unsigned long long>(null_backend::shownDigest()),
                  static_cast<unsigned long long>(journey.sound));
    journey.pins += line;
    journey.step += 1;
    journey.passInStep = 0;
}

const LoopScreens SCRIPTED = {
    [] {
        hold();
        const int stay = gameScreens.mainMenu();
        after();
        return stay;
    },
    [] { hold(), gameScreens.optionsScreen(), after(); },
    [] { hold(), gameScreens.scoreEntry(), after(); },
    [] { hold(), gameScreens.gameStep(), after(); },
    gameScreens.shutDown,
};

// The journey in a folder of its own in this process, which must be a new one; its exit code is the number of
// things that differ.
int runJourney(const std::string& pinsFile, bool record) {
    if (chdir(fs::temp_directory_path().c_str()) != 0 || chdir(mkdtemp(folder.data())) != 0) return 100;
    for (const char* sound : {"sound1_x.wav", "clevel1_sound.wav"})
        fs::copy_file(fs::path(CROSSFALL_SOURCE_DIR) / "data" / sound, sound);
    // A full table with names of every length and a short one, as earlier games left them.
    std::string rubik;
    for (int row = 0; row < 10; ++row) rubik += std::string("ABCDEFGHIJKLM", std::size_t(row + 3)) + " " + std::to_string(900 - 150 * row) + "\n";
    if (!saveTextFile("scores_rubik.txt", rubik) || !saveTextFile("scores_time.txt", "Zed 70\nAl 7\n")) return 100;
    null_backend::setAudioAvailable(true);
    if (!startUp()) return 100;
    picture::paintSprites();
    seedRandom(2026);
    initGameState();
    const int code = runMainLoop(SCRIPTED);
    const auto text = [](const char* name) { return readFile(name, 1 << 20).value_or("<missing>"); };
    if (record) return saveFile(pinsFile.c_str(), journey.pins) ? 0 : 100;
    int differ = code == 0 ? 0 : 1;
    std::istringstream pinned(text(pinsFile.c_str()));
    std::istringstream pins(journey.pins);
    for (std::string want, got; std::getline(pins, got);)
        if (!std::getline(pinned, want) || want != got) {
            std::fprintf(stderr, "step %s, pinned %s\n", got.c_str(), want.c_str());
            picture::expectPicture(null_backend::lastPicture(), 0, "fresh-run");
            return differ + 1;
        }
    std::string scores = "CT 50\n"; // B, O, deleted, T, then the pad's up on the first letter
    for (int row = 1; row < 10; ++row) scores += "??? 0\n";
    const std::pair<const char*, std::string> files[] = {
        // Right Control on Rotate Counterclockwise (the run's first capture: no side hint left over), F2 on
        // Drop, Right Shift on Left, W on Up, Right Control on Down; advanced controls on, both previews off,
        // the current grid and the music flipped twice.
        {"myControls.txt", "163\n163\n113\n9\n161\n39\n87\n163\n1\n0\n0\n1\n1\n"
                           "This file contains control settings.  Do not delete or edit it!"},
        {"scores_classic.txt", scores},
        {"colors.txt", "63488,2016,31\n"}};
    for (const auto& [name, want] : files)
        if (text(name) != toTextMode(want)) {
            std::fprintf(stderr, "%s holds:\n%s\n", name, text(name).c_str());
            differ += 1;
        }
    return differ;
}

TEST(FreshRun, EveryScreenShowsAndSoundsAsPinnedAndLeavesItsFilesFromTheFirstPassToExit) {
    const bool record = std::getenv("CROSSFALL_RECORD_PICTURES") != nullptr;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const int differ = runJourney(CROSSFALL_SOURCE_DIR "/tests/golden/fresh_run.pins", record);
            fs::remove_all(folder);
            std::exit(differ);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace crossfall
