// The kept window: the file's strict form, where it lives, a damaged file set aside with a message,
// and saves that make the folders and never leave half a file.
#include "platform/window_state.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/files.h"

using namespace crossfall;

namespace {

std::string describe(const std::optional<WindowState>& s) {
    if (!s) return "damaged";
    return std::to_string(s->fullScreen) + " " + std::to_string(s->width) + "x" + std::to_string(s->height) +
           (s->placed ? " at " + std::to_string(s->x) + "," + std::to_string(s->y) : "");
}

struct WindowStateFile : testing::Test {
    void SetUp() override {
        home = std::filesystem::current_path().string();
        setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    }
    std::string home;
};

} // namespace

TEST_F(WindowStateFile, OnlyTheExactFormReadsEverythingElseIsDamaged) {
    const struct {
        const char* text;
        const char* read;
    } cases[] = {
        {"fullscreen=0\nwidth=1024\nheight=768\nx=10\ny=-20\n", "0 1024x768 at 10,-20"},
        {"fullscreen=1\r\nwidth=800\r\nheight=600\r\n", "1 800x600"},
        {"# kept by Crossfall\n\nheight=160\nwidth=16384\nfullscreen=0", "0 16384x160"},
        {"fullscreen=0\nwidth=159\nheight=600\n", "damaged"}, // too small to find again
        {"fullscreen=0\nwidth=800\nheight=16385\n", "damaged"},
        {"fullscreen=2\nwidth=800\nheight=600\n", "damaged"},
        {"fullscreen=1\nwidth=800\n", "damaged"},                  // no height
        {"fullscreen=1\nwidth=800\nheight=600\nx=5\n", "damaged"}, // half a place
        {"fullscreen=1\nwidth=800\nheight=600\nwidth=900\n", "damaged"},
        {"fullscreen=1\nwidth=800\nheight=600\ndepth=3\n", "damaged"},
        {"fullscreen=1\nwidth=800px\nheight=600\n", "damaged"},
        {"fullscreen=1\nwidth= 800\nheight=600\n", "damaged"},
        {"fullscreen=1\nwidth=\nheight=600\n", "damaged"},
        {"fullscreen=1\nwidth=800\nheight=600\nx=32768\ny=0\n", "damaged"},
        {"fullscreen=1\nwidth=99999999999999999999\nheight=600\n", "damaged"},
        {"", "damaged"},
        {"\x89PNG\r\n\x1a\n", "damaged"},
    };
    for (const auto& c : cases) EXPECT_EQ(describe(parseWindowState(c.text)), c.read) << c.text;
    for (const WindowState& s : {WindowState{}, WindowState{false, 1000, 700, true, -5, 32767}})
        EXPECT_EQ(describe(parseWindowState(formatWindowState(s))), describe(s));
}

TEST_F(WindowStateFile, TheFileLivesInTheConfigFolderAndADamagedOneIsSetAsideWithAMessage) {
    EXPECT_EQ(windowStateFile(), home + "/config/crossfall/window.txt");
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(windowStateFile(), home + "/.config/crossfall/window.txt") << "a relative folder is ignored";
    SetUp();
    EXPECT_EQ(describe(loadWindowState()), "1 800x600") << "no file: a new window";
    const WindowState kept{false, 1000, 700, true, 40, 30};
    ASSERT_TRUE(saveWindowState(kept)) << "the folders are made on the way";
    EXPECT_EQ(readFile(windowStateFile().c_str(), 200).value(),
              "fullscreen=0\nwidth=1000\nheight=700\nx=40\ny=30\n");
    EXPECT_EQ(describe(loadWindowState()), describe(kept));

    std::ofstream(windowStateFile()) << "fullscreen=0\nwidth=10\n";
    testing::internal::CaptureStderr();
    EXPECT_EQ(describe(loadWindowState()), "1 800x600");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("window.txt is damaged"), std::string::npos);
    std::ofstream(windowStateFile()) << std::string(5000, '#');
    EXPECT_EQ(describe(loadWindowState()), "1 800x600") << "a huge file is not read through";

    // A save cut short (a file-size limit, as a full disk would) keeps the old file whole.
    ASSERT_TRUE(saveWindowState(kept));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit tiny{16, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool saved = saveWindowState(WindowState{});
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    EXPECT_EQ(describe(loadWindowState()), describe(kept));
}
