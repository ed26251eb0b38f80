// The screen flags, with the values the program starts with.
#include "platform/screen_flags.h"

namespace crossfall {

std::int32_t inMenu = 1;
std::int32_t inOptions = 0;
std::int32_t inScoreEntry = 0;
std::int32_t showScoreList = 0;
QuitRequest quitRequest;

void postQuit(int code) {
    quitRequest.posted = true;
    quitRequest.code = code;
}

} // namespace crossfall
