// A menu frame drawn with the shipped art and text, saved as a BMP a person can open (path printed).
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "menus/main_menu.h"
#include "platform/null_backend.h"
#include "app/start_up.h"
#include "platform/video.h"

using namespace crossfall;

TEST(FramePicture, TheMenuWithTheShippedArtIsSavedAsABitmap) {
    for (const auto& entry : std::filesystem::directory_iterator(CROSSFALL_SOURCE_DIR "/data"))
        if (entry.is_regular_file()) std::filesystem::copy_file(entry.path(), entry.path().filename());
    null_backend::reset();
    ASSERT_TRUE(startUp());
    runMainMenu();
    const auto inked = std::count_if(frontSurface.pixels.begin(), frontSurface.pixels.end(), [](auto p) { return p; });
    EXPECT_GT(inked, 800 * 600 * 9 / 10) << "the background art covers the screen";
    const std::string path = (std::filesystem::temp_directory_path() / "crossfall-menu-frame.bmp").string();
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(frontSurface.pixels.data(), 800, 600, 16, 1600,
                                                              SDL_PIXELFORMAT_RGB565);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(SDL_SaveBMP(picture, path.c_str()), 0);
    SDL_FreeSurface(picture);
    std::printf("menu frame saved to %s\n", path.c_str());
}
