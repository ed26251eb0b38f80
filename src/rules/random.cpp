// The linear congruential generator every random draw of the game uses.
#include "rules/random.h"

namespace crossfall {

std::uint32_t randomState; // start-up seeds it, a replay sets it, before any draw

void seedRandom(std::uint32_t seed) { randomState = seed; }

std::int32_t nextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<std::int32_t>((randomState >> 16) & 0x7FFF);
}

} // namespace crossfall
