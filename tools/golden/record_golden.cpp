// Records the golden replays: one game of each mode played by the scripted player through the
// shell's real screens, with a pause in the middle, and Obstacle Mode and advanced controls
// in Cross-fall; each game's "lastgame.cfr" is kept as tests/golden/<mode>.cfr. Run by
// hand when the rules change on purpose: build/record_golden [FOLDER].
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "app/game_frames.h"
#include "app/journal.h"
#include "app/start_up.h"
#include "platform/null_backend.h"
#include "rules/game_state.h"
#include "rules/random.h"
#include "golden/bot_player.h"

namespace fs = std::filesystem;
using namespace crossfall;

int main(int argc, char** argv) {
    const fs::path out = argc > 1 ? fs::path(argv[1]) : fs::path(CROSSFALL_SOURCE_DIR) / "tests/golden";
    const struct {
        const char* name;
        bot::GameSetup setup;
    } games[] = {
        {"classic", {MODE_CLASSIC, false, false, 3000, 14000}},
        {"rubik", {MODE_RUBIK, false, false, 2500, 12000}},
        {"4way", {MODE_4WAY, true, true, 2500, 12000}},
        {"2p", {MODE_DUOFALL, false, false, 1500, 12000}},
        {"time", {MODE_TIME, false, false, 1200, 12000}},
    };
    const fs::path work = fs::temp_directory_path() / "crossfall-golden";
    for (const auto& game : games) {
        // Takes are seeded in turn; the first that lasts three minutes is kept, or else the longest.
        long kept = 0;
        for (std::uint32_t take = 1; take <= 40 && kept < 3 * 60 * 60; ++take) {
            fs::remove_all(work);
            fs::create_directories(work);
            for (const char* sound : {"sound1_x.wav", "clevel1_sound.wav"})
                fs::copy_file(fs::path(CROSSFALL_SOURCE_DIR) / "data" / sound, work / sound);
            fs::current_path(work);
            null_backend::reset();
            null_backend::setAudioAvailable(true);
            if (!startUp()) return 1;
            seedRandom(take * 7919u);
            initGameState(); // the first waiting piece from the take's seed too
            const long frames = bot::playGame(game.setup);
            if (frames <= kept || frames <= game.setup.pauseAt) continue;
            kept = frames;
            const JournalResult r = currentResult();
            fs::copy_file("lastgame.cfr", out / (std::string(game.name) + ".cfr"), fs::copy_options::overwrite_existing);
            std::printf("%-8s take %2u: %6ld frames, score %d, bonuses %d, level %d, best combo %d, %ju bytes\n",
                        game.name, take, frames, r.score, r.comboBonuses, r.level, r.bestCombo,
                        static_cast<std::uintmax_t>(fs::file_size("lastgame.cfr")));
        }
    }
    fs::remove_all(work);
    return 0;
}
