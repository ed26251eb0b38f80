// The golden games on the play screen: every picture shown, row flashes included, digested and pinned
// second by second in tests/golden/<game>.pictures. Sprites carry values of their own per pixel, with
// see-through holes, so a block, strip, frame or text drawn a pixel off or from the wrong sprite shows.
// After a deliberate change to the drawing: CROSSFALL_RECORD_PICTURES=1 build/test_play
// --gtest_filter='ReplayedPictures.*' writes the pins again.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/game_frames.h"
#include "app/start_up.h"
#include "platform/files.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "rules/game_state.h"
#include "support/picture.h"

namespace crossfall {
namespace {

TEST(ReplayedPictures, EverySecondOfEachGoldenGameShowsThePinnedPictures) {
    const bool record = std::getenv("CROSSFALL_RECORD_PICTURES") != nullptr;
    ASSERT_TRUE(startUp());
    picture::paintSprites();
    for (const std::string game : {"classic", "rubik", "4way", "2p", "time"}) {
        const std::string golden = CROSSFALL_SOURCE_DIR "/tests/golden/" + game;
        std::istringstream pinned(readFile((golden + ".pictures").c_str(), 1 << 20).value_or(""));
        // What outlives a game on the play screen starts alike for each.
        blinkCount = comboLabelTimer = 0;
        comboLabelPoints[0] = comboLabelPoints[1] = ScreenPoint{};
        null_backend::reset();
        startReplay(loadReplay(golden + ".cfr").value(), 1);
        std::string pins; // the frame and the digest of every picture so far, each second and at the end
        for (int frame = 1; inMenu == 0; ++frame) {
            playGameFrame();
            if (frame % 60 != 0 && inMenu == 0) continue;
            char line[48], want[48] = "";
            std::snprintf(line, sizeof line, "%d %016llx", frame,
                          static_cast<unsigned long long>(null_backend::shownDigest()));
            pins += std::string(line) + "\n";
            if (record || (pinned.getline(want, sizeof want) && std::string(want) == line)) continue;
            picture::expectPicture(null_backend::lastPicture(), 0, game + "-" + std::to_string(frame));
            FAIL() << game << ": the pictures differ by the second ending at frame " << frame << " (pinned: " << want
                   << ")";
        }
        if (record) {
            ASSERT_TRUE(saveFile((golden + ".pictures").c_str(), pins));
        }
    }
}

} // namespace
} // namespace crossfall
