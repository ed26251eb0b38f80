// The options screen: twelve rows (eight key bindings, four switches), the advanced 4-Way switch
// and the link that saves and leaves, all inside the right-hand panel.
#include "menus/options_screen.h"

#include <array>
#include <cstdint>
#include <iterator>

#include "audio/sound.h"
#include "menus/controls_file.h"
#include "menus/key_names.h"
#include "platform/backend.h"
#include "platform/bitmaps.h"
#include "platform/cursor_keys.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "platform/text.h"
#include "platform/video.h"

namespace crossfall {
namespace {

// ---- What the screen shows ----

constexpr ColorRef CAPTION_HOVER = rgb(100, 100, 255);

constexpr int BUTTON_PAUSE_MS = 150;
constexpr int PANEL_CENTRE_X = 560;
constexpr Rect PANEL = {400, 100, 720, 500};
constexpr Rect ADVANCED_SWITCH = {400, 459, PANEL.right, 473};
constexpr Rect FINISH_LINK = {400, 477, PANEL.right, 494};
constexpr int CURSOR_SIZE = 16;

struct OptionRow {
    const char* label;
    const char* hint;
    Rect rect;
    std::int32_t* value; // a key binding or a switch
    bool isKey;
    int valueRight; // the shown value ends here, on the label's line
};

constexpr const char* PRESS_KEY = "Press a key to change...";

const OptionRow optionRows[] = {
    {"Rotate Counterclockwise", PRESS_KEY, {400, 113, PANEL.right, 129}, &keyBindings[0], true, 700},
    {"Rotate Clockwise", PRESS_KEY, {400, 148, PANEL.right, 164}, &keyBindings[1], true, 700},
    {"Drop Piece", PRESS_KEY, {400, 183, PANEL.right, 199}, &keyBindings[2], true, 700},
    {"Hurry Piece", PRESS_KEY, {400, 218, PANEL.right, 234}, &keyBindings[3], true, 700},
    {"Show Piece Preview", "Preview the upcoming piece", {400, 253, PANEL.right, 269}, &showPiecePreview, false, 680},
    {"Show Grid Preview",
     "Flash yellow box on next grid (4way)",
     {400, 288, PANEL.right, 304},
     &showGridPreview,
     false,
     680},
    {"Show Current Grid",
     "Highlight current grid (4way)",
     {400, 323, PANEL.right, 339},
     &showCurrentGrid,
     false,
     680},
    {"Background Music", "Enable / Disable background music", {400, 358, PANEL.right, 374}, &musicOn, false, 680},
    {"Left", "Press any key", {400, 395, 520, 409}, &keyBindings[4], true, 535},
    {"Right", "Press any key", {540, 395, 660, 409}, &keyBindings[5], true, 700},
    {"Up", "Used in 4way", {400, 430, 520, 444}, &keyBindings[6], true, 535},
    {"Down", "Used in 4way", {540, 430, 660, 444}, &keyBindings[7], true, 700},
};

constexpr const char* WAITING_HINT = "Waiting for a key";

// The arrows walk the rows as listed, then the advanced switch and the finish link.
constexpr int STOP_X = 704; // the cursor's right bound, clear of the values ending at 700

std::array<CursorStop, std::size(optionRows) + 2> cursorStops() {
    std::array<CursorStop, std::size(optionRows) + 2> stops{};
    for (std::size_t k = 0; k < std::size(optionRows); ++k) {
        const Rect& r = optionRows[k].rect;
        stops[k] = {r.right == PANEL.right ? STOP_X : r.right - 15, (r.top + r.bottom) / 2};
    }
    stops[std::size(optionRows)] = {STOP_X, (ADVANCED_SWITCH.top + ADVANCED_SWITCH.bottom) / 2};
    stops[std::size(optionRows) + 1] = {STOP_X, (FINISH_LINK.top + FINISH_LINK.bottom) / 2};
    return stops;
}
const auto optionStops = cursorStops();

// Enter on a steered key row waits there for the next key pressed, whichever it is; once per run.
const OptionRow* waitingRow = nullptr;
// Escape gave up a wait and is still down: it must not also leave the screen.
bool escapeSpent = false;

bool overKeyRow() {
    for (const OptionRow& row : optionRows)
        if (row.isKey && cursorOver(row.rect)) return true;
    return false;
}

// ---- Helpers ----

// A lost surface is repaired at once and the frame goes on.
void repairIfLost(BlitResult result) {
    if (result == BlitResult::SurfaceLost) restoreAllSurfaces();
}

void clearCaptureHints() {
    leftCtrlHeld = rightCtrlHeld = leftShiftHeld = rightShiftHeld = 0;
}

// The generic Control and Shift codes come first in the capture scan; these tell it the side.
void setCaptureHints() {
    if (keyHeld(162)) leftCtrlHeld = 1;
    if (keyHeld(163)) rightCtrlHeld = 1;
    if (keyHeld(160)) leftShiftHeld = 1;
    if (keyHeld(161)) rightShiftHeld = 1;
}

// ---- The rows ----

void flipSwitch(std::int32_t& value) {
    value = value != 0 ? 0 : 1;
}

// Rebinds a key row on every hovered frame (steered: on the key pressed after Enter), and flips a
// switch row while the button is held.
void actOnHoveredRow(const OptionRow& row, bool buttonHeld, bool enter) {
    setCaptureHints();
    if (row.isKey) {
        const int code = waitingRow == &row ? captureKey(keyPressed) : cursorSteered() ? 0 : captureKey();
        if (code != 0) {
            *row.value = code;
            waitingRow = nullptr;
        } else if (enter && waitingRow == nullptr) {
            waitingRow = &row;
        }
    } else if (enter) {
        buttonHeld = true;
    }
    drawText(row.label, row.rect.left + 20, row.rect.top + 2, YELLOW, backSurface);
    drawText(waitingRow == &row ? WAITING_HINT : row.hint, row.rect.left + 20, row.rect.top + 18, GREEN,
             backSurface);
    if (buttonHeld) {
        // The music follows its switch at once, saved or not.
        if (row.value == &musicOn)
            setMusicOn(musicOn == 0);
        else if (!row.isKey)
            flipSwitch(*row.value);
        backend::sleepMs(BUTTON_PAUSE_MS);
    }
    clearCaptureHints();
}

void drawRowValue(const OptionRow& row) {
    int y = row.rect.top + 2;
    if (row.isKey) {
        char name[KEY_NAME_SIZE];
        keyName(*row.value, name);
        drawTextRight(name, row.valueRight, y, GREEN, backSurface);
    } else if (*row.value != 0) {
        drawTextRight("On", row.valueRight, y, GREEN, backSurface);
    } else {
        drawTextRight("Off", row.valueRight, y, RED, backSurface);
    }
}

// ---- The advanced switch and the finish link ----

void drawAdvancedSwitch(bool buttonHeld) {
    constexpr const char* caption = "Use adv. controls for 4-way?";
    drawText(caption, 420, 461, BLUE, backSurface);
    if (advanced4Way != 0)
        drawTextRight("YES", 700, 461, GREEN, backSurface);
    else
        drawTextRight("NO", 700, 461, RED, backSurface);
    if (!cursorOver(ADVANCED_SWITCH)) return;
    drawText(caption, 420, 461, CAPTION_HOVER, backSurface);
    if (buttonHeld) {
        flipSwitch(advanced4Way);
        backend::sleepMs(BUTTON_PAUSE_MS);
    }
}

// Saving then reading back leaves in memory exactly what the file holds.
void drawFinishLink(bool buttonHeld) {
    constexpr const char* caption = "Click here when finished!";
    drawTextCentered(caption, PANEL_CENTRE_X, 482, WHITE, backSurface);
    if (!cursorOver(FINISH_LINK)) return;
    drawTextCentered(caption, PANEL_CENTRE_X, 482, YELLOW, backSurface);
    if (buttonHeld) {
        inOptions = 0;
        inMenu = 1;
        saveControls();
        loadControls();
    }
}

} // namespace

// ---- One frame ----

int runOptionsScreen() {
    escapeSpent = escapeSpent && keyHeld(VK_ESCAPE) && !keyPressed(VK_ESCAPE);
    if (waitingRow != nullptr && keyPressed(VK_ESCAPE)) {
        waitingRow = nullptr;
        escapeSpent = true;
    }
    // Leaves without saving; the rest of the frame still runs.
    if (keyHeld(VK_ESCAPE) && waitingRow == nullptr && !escapeSpent) inOptions = 0;
    clearSurface(backSurface, 0);
    trackCursor(PANEL.left, PANEL.top, 704, 492);
    // The mouse ends a wait. An arrow is a key to bind while a row waits, or under the pointer.
    followPointer();
    if (!cursorSteered()) waitingRow = nullptr;
    if (waitingRow == nullptr && (cursorSteered() || !overKeyRow())) steerCursor(optionStops);
    repairIfLost(blitSprite(backSurface, PANEL, bitmap(Bitmap::MenuRight), nullptr, true));
    drawTextCentered("Piece Movement", PANEL_CENTRE_X, 380, RED, backSurface);

    const bool buttonHeld = mouseState.buttons[0] != 0;
    const bool enter = steeredEnter();
    for (const OptionRow& row : optionRows) {
        if (cursorOver(row.rect))
            actOnHoveredRow(row, buttonHeld, enter);
        else
            drawText(row.label, row.rect.left + 20, row.rect.top + 2, WHITE, backSurface);
    }
    for (const OptionRow& row : optionRows) drawRowValue(row);
    drawAdvancedSwitch(buttonHeld || enter);
    drawFinishLink(buttonHeld || enter);

    Rect cursor = {mouseX, mouseY, mouseX + CURSOR_SIZE, mouseY + CURSOR_SIZE};
    repairIfLost(blitSprite(backSurface, cursor, bitmap(Bitmap::Mouse), nullptr, true));
    // Only the panel is shown: the left half keeps the last menu frame.
    repairIfLost(presentRect(PANEL));
    return 0;
}

} // namespace crossfall
