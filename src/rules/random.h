// The game's one random generator: every random number of a game comes from here, so a seed and
// the key states frame by frame replay the same game. Seeded once per run by start-up; tests seed it.
#pragma once

#include <cstdint>

namespace crossfall {

extern std::uint32_t randomState; // seeded once per run

void seedRandom(std::uint32_t seed);
// Steps the state and gives 0..32767.
std::int32_t nextRandom();

} // namespace crossfall
