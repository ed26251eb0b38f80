// One game frame's rules in their fixed order, and the seam through which they reach what lies
// above them: the drawing between the rules, the row flash, the pause and the score check. The play
// screen supplies the seam (start-up installs it); a replay checked without a display leaves it empty.
// Everything a frame reads from outside comes through frameInput, live or replayed.
#pragma once

#include <array>
#include <cstdint>

namespace crossfall {

// What a game frame reads from outside the rules: the held keys and whether a row sound still plays.
struct FrameInput {
    bool replayed = false;       // a replay sets the two below before each frame; live frames read the devices
    std::array<std::uint8_t, 32> held{}; // replayed: a bit per virtual-key code
    std::int32_t voicesBusy = 0; // the frame's voice sweep: replayed, or what the live sweep found
};
extern FrameInput frameInput; // every frame

// The key's held state this frame: the keyboard live, the record in a replay.
bool frameKeyHeld(int code);

// Where the frame's drawing happens between its rules.
enum class FrameStage {
    Backdrop, // before the pieces are placed
    Fields,   // pieces placed, not yet stepped
    Panel,    // after the pieces and the mode timers
    Texts,    // after the voice sweep and the chain's end
    GameOver, // the game has ended: its box
    Present,  // the frame is done
};

// What the rules reach above them; a null member does nothing.
struct RulesSeam {
    void (*gameStarting)(int mode) = nullptr;             // startGame begins: the game's journal starts
    void (*pause)() = nullptr;                            // Escape held: the menu takes over
    void (*draw)(FrameStage stage) = nullptr;
    void (*scoreCheck)() = nullptr;                       // once, the frame after a game ends
    void (*flashRow)(int fieldIndex, int row) = nullptr; // before a full row goes; starts the row sound
    void (*comboLabel)(int combo) = nullptr;              // a chain grew to combo
    void (*levelMusic)(int level) = nullptr; // a game starts or its level rises: the music's pitch
};
extern RulesSeam rulesSeam; // installed by start-up, or by a replay

// One tick of the running game: pause check, pieces, mode timers, voice sweep, end of a chain, score check.
void runGameFrame();

} // namespace crossfall
