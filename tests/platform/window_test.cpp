// The window: where the picture goes in it at every shape, and the window kept between runs (the
// file's strict form, where it lives, a damaged file set aside with a message, saves that make the
// folders on the way).
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "platform/config_file.h"
#include "platform/files.h"
#include "platform/picture_place.h"
#include "platform/window_state.h"

using namespace crossfall;

namespace {

std::string describe(const std::optional<WindowState>& s) {
    if (!s) return "damaged";
    return std::to_string(s->fullScreen) + " " + std::to_string(s->width) + "x" + std::to_string(s->height) +
           (s->placed ? " at " + std::to_string(s->x) + "," + std::to_string(s->y) : "");
}

} // namespace

TEST(WindowState, OnlyTheExactFormReadsEverythingElseIsDamaged) {
    EXPECT_EQ(describe(parseWindowState("fullscreen=0\nwidth=1024\nheight=768\nx=-32767\ny=32767\n")),
              "0 1024x768 at -32767,32767");
    EXPECT_EQ(describe(parseWindowState("# kept\r\n\nheight=160\r\nwidth=16384\nfullscreen=1")),
              "1 16384x160");
    // Each value just outside its range, keys missing, repeated or unknown, numbers that are not only digits.
    const std::string ok = "fullscreen=1\nwidth=800\nheight=600\n", tall = "fullscreen=1\nheight=600\n";
    const std::string damaged[] = {
        "fullscreen=0\nwidth=159\nheight=600", "fullscreen=0\nwidth=800\nheight=16385",
        "width=800\nheight=600", "fullscreen=2\nwidth=800\nheight=600", "fullscreen=1\nwidth=800",
        tall + "width=800px", tall + "width= 800", tall + "width=", tall + "width",
        tall + "width=99999999999999999999", "", ok + "x=5", ok + "y=5", ok + "width=900", ok + "depth=3",
        ok + "x=32768\ny=0", ok + "x=0\ny=-32768"};
    for (const std::string& text : damaged) EXPECT_EQ(describe(parseWindowState(text)), "damaged") << text;
    for (const WindowState& s : {WindowState{}, WindowState{false, 1000, 700, true, -5, 32767}})
        EXPECT_EQ(describe(parseWindowState(formatWindowState(s))), describe(s));
    // The shared reader holds eight keys; a ninth in the list is refused, not written past.
    const ConfigKey nine[] = {{"a", 0, 1}, {"b", 0, 1}, {"c", 0, 1}, {"d", 0, 1}, {"e", 0, 1},
                              {"f", 0, 1}, {"g", 0, 1}, {"h", 0, 1}, {"i", 0, 1}};
    EXPECT_EQ(std::pair(parseConfig("i=1\n", nine).has_value(), parseConfig("h=1\n", std::span(nine, 8))->value[7]),
              std::pair(false, 1));
}

TEST(WindowState, TheFileLivesInTheConfigFolderAndADamagedOneIsSetAsideWithAMessage) {
    const std::string home = std::filesystem::current_path().string();
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(windowStateFile(), home + "/.config/crossfall/window.txt") << "a relative folder is ignored";
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    EXPECT_EQ(windowStateFile(), home + "/config/crossfall/window.txt");
    EXPECT_EQ(describe(loadWindowState()), "1 800x600") << "no file: a new window";
    const WindowState kept{false, 1000, 700, true, 40, 30};
    ASSERT_TRUE(saveWindowState(kept)) << "the folders are made on the way";
    EXPECT_EQ(std::filesystem::status(home + "/config").permissions(), std::filesystem::perms::owner_all);
    const std::string text = "fullscreen=0\nwidth=1000\nheight=700\nx=40\ny=30\n";
    EXPECT_EQ(readFile(windowStateFile().c_str(), 200), text);
    // A file up to 4096 bytes is read; a longer one is damaged however it ends.
    for (std::size_t size : {4096u, 4097u}) {
        const std::string padded = std::string(size - text.size() - 1, '#').append("\n" + text);
        ASSERT_TRUE(saveFile(windowStateFile().c_str(), padded));
        testing::internal::CaptureStderr();
        EXPECT_EQ(describe(loadWindowState()), size == 4096 ? describe(kept) : "1 800x600") << size;
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(told.find("window.txt is damaged") != std::string::npos, size > 4096);
    }
    setenv("XDG_CONFIG_HOME", "config", 1);
    setenv("HOME", "home", 1);
    EXPECT_EQ(std::tuple(windowStateFile(), describe(loadWindowState()), saveWindowState(kept)),
              std::tuple("", "1 800x600", false)) << "no absolute folder: nothing is kept";
}

TEST(PicturePlace, TheLargestCentredFourByThreeRectangleAndTheSmallestCoveringWholeFactor) {
    // Output width and height, then x, y, width, height, factor, whether the factor is exact and
    // whether the reduction is steeper than 4:3 (supersampled). Sides round to the nearest pixel.
    using Place = std::tuple<int, int, int, int, int, bool, bool>;
    const std::tuple<int, int, Place> cases[] = {
        {800, 600, {0, 0, 800, 600, 1, true, false}},        {801, 600, {0, 0, 800, 600, 1, true, false}},
        {800, 601, {0, 0, 800, 600, 1, true, false}},        {1600, 1200, {0, 0, 1600, 1200, 2, true, false}},
        {1920, 1080, {240, 0, 1440, 1080, 2, false, false}}, {1280, 800, {106, 0, 1067, 800, 2, false, true}},
        {1281, 800, {107, 0, 1067, 800, 2, false, true}}, {1280, 1024, {0, 32, 1280, 960, 2, false, false}},
        {1280, 961, {0, 0, 1280, 960, 2, false, false}},     {1278, 960, {0, 0, 1278, 959, 2, false, false}},
        {802, 601, {0, 0, 801, 601, 2, false, true}},        {1, 1, {0, 0, 1, 1, 1, false, true}},
        {0, -5, {0, 0, 1, 1, 1, false, true}},               {1200, 900, {0, 0, 1200, 900, 2, false, false}},
        {1199, 899, {0, 0, 1199, 899, 2, false, true}},     {2, 1, {0, 0, 1, 1, 1, false, true}}};
    for (const auto& [w, h, expected] : cases) {
        const PicturePlace p = placePicture(w, h);
        const Place place{p.x, p.y, p.width, p.height, p.factor, p.exact, p.supersample};
        EXPECT_EQ(place, expected) << w << "," << h;
    }
}
