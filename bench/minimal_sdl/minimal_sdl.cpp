// The yardstick for the end-to-end figures: the least an SDL game does before its first picture
// (window, renderer, one streaming 800 x 600 texture, one present). It says "shown" on stdout when
// the picture is up and then its peak resident memory, and exits; with "--idle SECONDS" it first
// stands that long pumping events 60 times a second, the yardstick for a game's idle CPU.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

long peakResidentKiB() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::strncmp(line, "VmHWM:", 6) == 0) std::sscanf(line + 6, "%ld", &kib);
    std::fclose(status);
    return kib;
}

} // namespace

int main(int argc, char** argv) {
    const int idleSeconds = argc == 3 && std::strcmp(argv[1], "--idle") == 0 ? std::atoi(argv[2]) : 0;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "minimal_sdl: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("minimal", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 800, 600,
                                          SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    SDL_Texture* texture =
        renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, 800, 600) : nullptr;
    if (texture == nullptr) {
        std::fprintf(stderr, "minimal_sdl: %s\n", SDL_GetError());
        return 1;
    }
    std::vector<Uint16> pixels(800 * 600, 0x001F);
    SDL_UpdateTexture(texture, nullptr, pixels.data(), 800 * 2);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    std::printf("shown\n");
    std::fflush(stdout);
    for (Uint64 end = SDL_GetTicks64() + 1000ull * idleSeconds; SDL_GetTicks64() < end;) {
        SDL_PumpEvents();
        SDL_Delay(16);
    }
    std::printf("peak %ld KiB\n", peakResidentKiB());
    std::fflush(stdout);
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
