// What the SDL event pump needs of the window: the Alt+Enter toggle, the picture's scale for mouse
// motion, and reporting a renderer reset. Only the sdl/ files include this.
#pragma once

namespace crossfall::sdl {

// Switches between full screen on the desktop and an 800 x 600 window.
void toggleFullscreen();
// Window points (the unit of mouse motion) per picture pixel; the picture is scaled to fit, aspect kept.
double pictureScale();
// The window must be drawn again even if the picture has not changed (exposed, resized, restored).
void requestRedraw();
// Shows the last picture again when a redraw was requested; the pump calls it after each pass's events.
void redrawIfPending();
// The renderer lost its targets (or its device): the texture is made anew and the game restores.
void reportDisplayLoss(bool deviceLost);

} // namespace crossfall::sdl
