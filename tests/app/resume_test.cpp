// Nothing played is lost: a game killed at any frame, or half-way through any file write, comes back at the
// next start as it was at its last recorded frame, at most a second earlier, and shows that frame's next
// picture. Each point is a game in a process of its own (tests/support/game_probe). The points are drawn at
// random; CROSSFALL_CRASH_POINTS sets how many (1000 in the full run) and CROSSFALL_CRASH_SEED the draw.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// What a command printed, and whether SIGKILL ended it.
std::pair<std::string, bool> run(const std::string& command) {
    std::string printed;
    std::FILE* out = popen((command + " 2>/dev/null").c_str(), "r");
    for (int c; out != nullptr && (c = std::fgetc(out)) != EOF;) printed += static_cast<char>(c);
    const int status = out != nullptr ? pclose(out) : -1;
    const bool killed = (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) ||
                        (WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGKILL);
    return {printed, killed};
}

struct Frame {
    std::string state, picture;
    int voices = 0;
};

TEST(CrashPoints, AGameKilledAnywhereComesBackAsItWasAtItsLastRecordedFrameAtMostASecondEarlier) {
    const char* count = std::getenv("CROSSFALL_CRASH_POINTS");
    const char* seedText = std::getenv("CROSSFALL_CRASH_SEED");
    const unsigned seed = seedText != nullptr ? unsigned(std::strtoul(seedText, nullptr, 10)) : std::random_device{}();
    RecordProperty("crash_seed", std::to_string(seed));
    std::mt19937 draw(seed);
    const int points = count != nullptr ? std::atoi(count) : 24;
    int resumed = 0, pictures = 0;
    for (int point = 0; point < points; ++point) {
        // A frame to be killed at, with the keys let go of a second and a half before it, or a write to die in.
        const bool atWrite = draw() % 3 == 0;
        const long frame = atWrite ? 0 : long(draw() % 2400) + 1, write = atWrite ? long(draw() % 4000) + 1 : 0;
        const long quietFrom = atWrite ? 0 : std::max(1L, frame - 90);
        const std::string args = std::to_string(draw() % 5) + " " + std::to_string(draw()) + " " +
                                 std::to_string(frame) + " " + std::to_string(write) + " " + std::to_string(quietFrom);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", game_probe play " + args);
        const fs::path folder = fs::current_path() / std::to_string(point);
        fs::create_directory(folder);
        const std::string inFolder = "cd " + folder.string() + " && " + CROSSFALL_GAME_PROBE;
        const auto [played, killed] = run(inFolder + " play " + args);
        std::map<long, Frame> log;
        std::istringstream lines(played);
        long last = 0;
        for (Frame f; lines >> last >> f.state >> f.picture >> f.voices;) log[last] = f;
        const auto [told, _] = run(inFolder + " resume");
        // Nothing to resume: the game ended and was settled before the kill came, or had not begun.
        if (told.empty() || !killed) {
            EXPECT_TRUE(told.empty() && (!killed || last == 0)) << told;
            continue;
        }
        std::istringstream back(told);
        std::string word, state, then, picture;
        long at = -1;
        int over = 0;
        back >> word >> at >> state >> over >> then >> picture;
        ASSERT_EQ(word, "resumed") << told;
        // Back at a frame recorded before the kill, at most a second before the last one played; the frame
        // the kill cut short counts only where it ended the game (its end is written before the results).
        EXPECT_TRUE(at <= last || (at == last + 1 && over == 1)) << at << " after " << last;
        EXPECT_GE(at, last - 60);
        if (at == 0 || at > last) continue;
        EXPECT_EQ(state, log[at].state) << "frame " << at;
        resumed += 1;
        // With no key held and no row sound going on, the next picture is the one the game would have shown.
        if (quietFrom == 0 || !log.contains(at + 1) || log[at].voices != 0 || at + 1 <= quietFrom) continue;
        EXPECT_EQ(picture, log[at + 1].picture) << "frame " << at + 1;
        pictures += 1;
    }
    RecordProperty("resumed", resumed);
    RecordProperty("pictures", pictures);
    std::printf("crash points: %d tried, %d resumed and compared, %d next pictures compared (seed %u)\n", points,
                resumed, pictures, seed);
}

} // namespace
