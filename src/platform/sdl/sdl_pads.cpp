// Gamepads on SDL: the GameController API opens every pad SDL has a mapping for (its own list, or
// SDL_GAMECONTROLLERCONFIG and SDL_GAMECONTROLLERCONFIG_FILE) as pads come and go, and hands their
// buttons and left stick to the input state, one slot a pad.
#include "platform/sdl/sdl_pads.h"

#include <SDL.h>

#include <cstdio>

#include "platform/input.h"

namespace crossfall::sdl {
namespace {

struct PadSlot {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
};

// Once per run: openPads to closePads.
struct Pads {
    bool up = false;
    PadSlot slots[MAX_PADS];
};
Pads padsOpen;

int slotOf(SDL_JoystickID id) {
    for (int s = 0; s < MAX_PADS; ++s)
        if (padsOpen.slots[s].controller != nullptr && padsOpen.slots[s].id == id) return s;
    return -1;
}

bool buttonOf(Uint8 sdlButton, PadButton& button) {
    static constexpr struct {
        SDL_GameControllerButton sdl;
        PadButton ours;
    } table[] = {
        {SDL_CONTROLLER_BUTTON_A, PadButton::South},
        {SDL_CONTROLLER_BUTTON_B, PadButton::East},
        {SDL_CONTROLLER_BUTTON_X, PadButton::West},
        {SDL_CONTROLLER_BUTTON_Y, PadButton::North},
        {SDL_CONTROLLER_BUTTON_BACK, PadButton::Back},
        {SDL_CONTROLLER_BUTTON_START, PadButton::Start},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PadButton::LeftShoulder},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PadButton::RightShoulder},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, PadButton::DpadUp},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadButton::DpadDown},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadButton::DpadLeft},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadButton::DpadRight},
    };
    for (const auto& entry : table)
        if (entry.sdl == sdlButton) {
            button = entry.ours;
            return true;
        }
    return false;
}

void tellUnmapped(int deviceIndex) {
    const char* name = SDL_JoystickNameForIndex(deviceIndex);
    std::fprintf(stderr,
                 "Crossfall: the pad \"%s\" has no mapping and is left alone (SDL_GAMECONTROLLERCONFIG can "
                 "give it one)\n",
                 name != nullptr ? name : "?");
}

void plugIn(int deviceIndex) {
    if (slotOf(SDL_JoystickGetDeviceInstanceID(deviceIndex)) >= 0) return;
    for (int s = 0; s < MAX_PADS; ++s) {
        PadSlot& slot = padsOpen.slots[s];
        if (slot.controller != nullptr) continue;
        slot.controller = SDL_GameControllerOpen(deviceIndex);
        if (slot.controller == nullptr) return;
        slot.id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(slot.controller));
        releasePad(s);
        return;
    }
}

bool pullOut(SDL_JoystickID id) {
    const int s = slotOf(id);
    if (s < 0) return false;
    SDL_GameControllerClose(padsOpen.slots[s].controller);
    padsOpen.slots[s] = PadSlot{};
    releasePad(s);
    return true;
}

} // namespace

void openPads() {
    if (padsOpen.up) return;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "Crossfall: no gamepads (%s)\n", SDL_GetError());
        return;
    }
    padsOpen.up = true;
}

void closePads() {
    if (!padsOpen.up) return;
    for (int s = 0; s < MAX_PADS; ++s) pullOut(padsOpen.slots[s].id);
    padsOpen = Pads{};
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool padEvent(const SDL_Event& event) {
    switch (event.type) {
    // Mapped pads come as controllers too; a joystick is only told about when it has no mapping.
    case SDL_JOYDEVICEADDED:
        if (!SDL_IsGameController(event.jdevice.which)) tellUnmapped(event.jdevice.which);
        return false;
    case SDL_CONTROLLERDEVICEADDED:
        plugIn(event.cdevice.which);
        return false;
    case SDL_CONTROLLERDEVICEREMOVED:
        return pullOut(event.cdevice.which);
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        PadButton button{};
        if (buttonOf(event.cbutton.button, button))
            setPadButton(slotOf(event.cbutton.which), button, event.type == SDL_CONTROLLERBUTTONDOWN);
        return false;
    }
    case SDL_CONTROLLERAXISMOTION:
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
            setPadAxis(slotOf(event.caxis.which), PadAxis::LeftX, event.caxis.value);
        else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
            setPadAxis(slotOf(event.caxis.which), PadAxis::LeftY, event.caxis.value);
        return false;
    default:
        return false;
    }
}

} // namespace crossfall::sdl
