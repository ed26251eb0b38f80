// The main menu: nine entries on the left panel, the best scores or the hovered entry's
// description on the right, the exit screen, and the hand-over to the list of all score tables.
#include "menus/main_menu.h"

#include <array>
#include <cstring>
#include <iterator>
#include <string>

#include "menus/controls_file.h"
#include "menus/settings_file.h"
#include "platform/backend.h"
#include "platform/bitmaps.h"
#include "platform/cursor_keys.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "platform/text.h"
#include "platform/video.h"
#include "play/field_drawing.h"
#include "play/race_view.h"
#include "rules/game_state.h"
#include "scores/high_score_entry.h"
#include "scores/high_score_list.h"
#include "scores/high_scores.h"

namespace crossfall {
namespace {

// ---- What the menu shows ----

constexpr ColorRef PALE_BLUE = rgb(175, 175, 255);
constexpr ColorRef LIGHT_BLUE = rgb(150, 150, 255);

constexpr int ENTRY_LEFT = 100;
constexpr int ENTRY_RIGHT = 300;
constexpr int ENTRY_HEIGHT = 25;
constexpr int LABEL_X = 200;
constexpr int PANEL_X = 560;

enum EntryAction { RESUME, START_MODE, TOGGLE_OBSTACLES, OPEN_OPTIONS, TOGGLE_SYMBOLS, EXIT };

struct MenuEntry {
    const char* label;
    const char* subtitle;
    int top;
    EntryAction action;
    int mode = MODE_CLASSIC; // START_MODE only
};

constexpr MenuEntry menuEntries[] = {
    {"Resume", "Return to Game", 141, RESUME},
    {"Classic Brikka", "The Original", 193, START_MODE, MODE_CLASSIC},
    {"Rubik's Brikka", "A simple twist", 230, START_MODE, MODE_RUBIK},
    {"Cross-fall", "4-way Brikka!", 266, START_MODE, MODE_4WAY},
    {"Duofall", "Let's play two!", 302, START_MODE, MODE_DUOFALL},
    {"Obstacle Mode", "Click now to toggle", 339, TOGGLE_OBSTACLES},
    {"Time Attack", "The pieces fight back", 377, START_MODE, MODE_TIME},
    {"Controls/Options", "Click now to access...", 412, OPEN_OPTIONS},
    {"Block Symbols", "", 441, TOGGLE_SYMBOLS}, // no room for a subtitle: the panel says it all
    {"Exit Crossfall", "Leave game", 466, EXIT},
};
constexpr int OPTIONS_ENTRY = 7;
constexpr int SYMBOLS_ENTRY = 8;

struct DescriptionLine {
    int entry;
    int y;
    const char* text;
};

// Several lines end in a blank on purpose: it shifts their centring.
constexpr DescriptionLine descriptionLines[] = {
    {1, 270, "Enjoy the classic mode of brikka"},
    {1, 305, "that you've loved for years."},
    {2, 115, "You're certainly familiar with "},
    {2, 150, "spinning Brikka pieces, but are"},
    {2, 185, "you ready for the very grid"},
    {2, 220, "itself to spin?"},
    {2, 290, "At indicated time intervals, the"},
    {2, 325, "entire lower half of the Brikka"},
    {2, 360, "field will spin clockwise!  All"},
    {2, 395, "the work you put into making it"},
    {2, 430, "orderly can fall apart if you "},
    {2, 465, "aren't ready for the Rubik spin!"},
    {3, 115, "4-way Brikka, or Crossfall, is"},
    {3, 150, "the centerpiece of this game!"},
    {3, 220, "Take on a bold new challenge as"},
    {3, 255, "pieces converge from four"},
    {3, 290, "different directions!"},
    {3, 360, "If a piece comes from the top or"},
    {3, 395, "bottom, use the left/right arrow"},
    {3, 430, "keys to move it; otherwise, use"},
    {3, 465, "the up/down arrow keys!"},
    {4, 115, "If you've mastered controlling"},
    {4, 150, "one piece, perhaps you would"},
    {4, 185, "like to try two!"},
    {4, 255, "In Duofall, you must guide "},
    {4, 290, "two pieces in two separate"},
    {4, 325, "Brikka-fields with one set"},
    {4, 360, "of controls!  Each keystroke"},
    {4, 395, "equally affects both pieces,"},
    {4, 430, "and neither side must reach"},
    {4, 465, "the top and overstack!"},
    {5, 150, "When you enable Obstacle Mode,"},
    {5, 185, "each new game you start will"},
    {5, 220, "have random spots on the brikka"},
    {5, 255, "field already filled!"},
    {5, 325, "You will have to overcome these"},
    {5, 360, "obstacles in addition to"},
    {5, 395, "keeping the pieces from"},
    {5, 430, "stacking too high!"},
    {6, 135, "Time Attack mode requires"},
    {6, 170, "you to be decisive in your"},
    {6, 205, "playing!"},
    {6, 275, "As time passes, the pieces"},
    {6, 310, "in the Brikka grid will"},
    {6, 345, "slowly move toward the top."},
    {6, 380, "You will have to eliminate"},
    {6, 415, "these rows even more"},
    {6, 450, "quickly than usual!"},
    {SYMBOLS_ENTRY, 115, "Click now to toggle."},
    {SYMBOLS_ENTRY, 150, "With Block Symbols on, every"},
    {SYMBOLS_ENTRY, 185, "kind of block carries a shape"},
    {SYMBOLS_ENTRY, 220, "of its own, so no piece needs"},
    {SYMBOLS_ENTRY, 255, "telling by its colour alone."},
    {SYMBOLS_ENTRY, 325, "The choice is kept for the"},
    {SYMBOLS_ENTRY, 360, "next time you play."},
};

// Drawn only while the options entry is hovered without a click.
constexpr DescriptionLine optionsHintLines[] = {
    {OPTIONS_ENTRY, 270, "Click left mouse button now"},
    {OPTIONS_ENTRY, 305, "to access the options screen."},
};

struct BestScoreRow {
    int y;
    const char* caption;
    int mode;
};

constexpr BestScoreRow bestScoreRows[] = {
    {200, "Classic", MODE_CLASSIC}, {240, "Rubik's", MODE_RUBIK},    {280, "4-Way", MODE_4WAY},
    {320, "Duofall", MODE_DUOFALL}, {360, "Time Attack", MODE_TIME},
};

constexpr Rect SCORE_LIST_LINK = {400, 418, 720, 435};
constexpr Rect RACE_SWITCH = {400, 446, 720, 463};

// The arrows walk the entries top to bottom, then the link and the race switch; the cursor lands clear
// of the texts.
constexpr CursorStop STOP_BESIDE_LINK = {700, 426};
constexpr CursorStop STOP_BESIDE_RACE = {700, 454};
constexpr int STOP_BESIDE_ENTRY_X = 280;

constexpr std::array<CursorStop, std::size(menuEntries) + 2> cursorStops() {
    std::array<CursorStop, std::size(menuEntries) + 2> stops{};
    for (std::size_t k = 0; k < std::size(menuEntries); ++k)
        stops[k] = {STOP_BESIDE_ENTRY_X, menuEntries[k].top + ENTRY_HEIGHT / 2};
    stops[std::size(menuEntries)] = STOP_BESIDE_LINK;
    stops.back() = STOP_BESIDE_RACE;
    return stops;
}
constexpr auto menuStops = cursorStops();

// ---- Drawing helpers ----

Rect entryRect(const MenuEntry& entry) {
    return {ENTRY_LEFT, entry.top, ENTRY_RIGHT, entry.top + ENTRY_HEIGHT};
}

bool overAnyEntry(int x, int y) {
    for (const MenuEntry& entry : menuEntries)
        if (contains(entryRect(entry), x, y)) return true;
    return false;
}

// A lost surface is repaired at once and the frame goes on.
void blitChecked(Bitmap which, const Rect& dest, bool keyed) {
    if (blitSprite(backSurface, dest, bitmap(which), nullptr, keyed) == BlitResult::SurfaceLost)
        restoreAllSurfaces();
}

void drawLines(const DescriptionLine* lines, int count, int entry) {
    for (int k = 0; k < count; ++k)
        if (lines[k].entry == entry) drawTextCentered(lines[k].text, PANEL_X, lines[k].y, WHITE, backSurface);
}

void drawBackdrop() {
    clearSurface(backSurface, 0);
    blitSprite(backSurface, {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT}, bitmap(Bitmap::Bg1), nullptr, true);
    blitChecked(Bitmap::MainLogo, {32, 10, 768, 90}, true);
    blitChecked(Bitmap::MenuLeft, {100, 100, 300, 500}, false);
    blitChecked(Bitmap::MenuRight, {400, 100, 720, 500}, false);
}

// What a menu frame is drawn from besides the fixed art: the cursor, the switches and the best scores
// (read afresh every frame the panel shows, so a new best score appears at once).
struct MenuLook {
    int x = 0, y = 0, obstacles = 0, symbols = 0, race = 0;
    bool panel = false;
    HighScoreEntry best[std::size(bestScoreRows)];
};

bool operator==(const MenuLook& a, const MenuLook& b) {
    if (a.x != b.x || a.y != b.y || a.obstacles != b.obstacles || a.symbols != b.symbols ||
        a.race != b.race || a.panel != b.panel)
        return false;
    for (std::size_t k = 0; k < std::size(a.best); ++k)
        if (a.best[k].total != b.best[k].total || std::strcmp(a.best[k].name, b.best[k].name) != 0)
            return false;
    return true;
}

MenuLook lookNow() {
    MenuLook look;
    look.x = mouseX;
    look.y = mouseY;
    look.obstacles = obstacleMode;
    look.symbols = blockSymbols;
    look.race = raceYourBest;
    look.panel = !overAnyEntry(mouseX, mouseY);
    if (look.panel)
        for (std::size_t k = 0; k < std::size(bestScoreRows); ++k)
            readScoreRows(scoreFileName(bestScoreRows[k].mode), &look.best[k], 1, LIST_NAME_LENGTH);
    return look;
}

// The last menu frame shown, and the screen change it made; once per run.
struct ShownMenu {
    MenuLook look;
    std::uint64_t change = 0;
    bool valid = false;
};
ShownMenu shownMenu;

// Every surface the menu draws with is whole; a lost one is restored while the backdrop is drawn.
bool menuSurfacesWhole() {
    checkDisplayLoss();
    if (frontSurface.lost || backSurface.lost) return false;
    for (Bitmap b : {Bitmap::Bg1, Bitmap::MainLogo, Bitmap::MenuLeft, Bitmap::MenuRight, Bitmap::Mouse})
        if (bitmap(b).lost) return false;
    return true;
}

void drawBestScoresPanel(const MenuLook& look, bool buttonHeld) {
    drawTextCentered("Best Scores", PANEL_X, 120, WHITE, backSurface);
    for (std::size_t k = 0; k < std::size(bestScoreRows); ++k) {
        const BestScoreRow& row = bestScoreRows[k];
        const HighScoreEntry& best = look.best[k];
        drawText(row.caption, 420, row.y, WHITE, backSurface);
        drawText(best.name[0] != '\0' ? best.name : "???", 520, row.y, GREEN, backSurface);
        drawTextRight(std::to_string(best.total).c_str(), 700, row.y, RED, backSurface);
    }
    bool overLink = contains(SCORE_LIST_LINK, mouseX, mouseY);
    drawTextCentered("Click here for all High Scores!", PANEL_X, 420, overLink ? LIGHT_BLUE : BLUE,
                     backSurface);
    if (overLink && buttonHeld) showScoreList = 1;
    // Said in words, not by colour alone; flipped and kept like Block Symbols.
    const bool overRace = contains(RACE_SWITCH, mouseX, mouseY);
    drawTextCentered(raceYourBest != 0 ? "Race your best: ON" : "Race your best: OFF", PANEL_X, 448,
                     overRace ? LIGHT_BLUE : BLUE, backSurface);
    if (overRace && buttonHeld) {
        raceYourBest = raceYourBest != 0 ? 0 : 1;
        saveSettings();
        backend::sleepMs(150);
    }
}

void drawExitScreen() {
    drawTextCentered("Exit Crosfal.", PANEL_X, 150, RED, backSurface);
    drawTextCentered("Thanks for playing!", PANEL_X, 290, GREEN, backSurface);
    drawTextCentered("Come back soon for another round.", PANEL_X, 430, WHITE, backSurface);
}

// ---- The hovered entry ----

// The switch's state in words and colour, below the entry's description.
void drawSwitchState(const char* on, const char* off, bool enabled) {
    if (enabled)
        drawTextCentered(on, PANEL_X, 465, GREEN, backSurface);
    else
        drawTextCentered(off, PANEL_X, 465, RED, backSurface);
}

enum class Outcome { Stay, Leave };

Outcome actOnHoveredEntry(int index, bool buttonHeld) {
    const MenuEntry& entry = menuEntries[index];
    drawTextCentered(entry.label, LABEL_X, entry.top + 2, RED, backSurface);
    drawTextCentered(entry.subtitle, LABEL_X, entry.top + 17, GREEN, backSurface);
    drawLines(descriptionLines, static_cast<int>(std::size(descriptionLines)), index);
    switch (entry.action) {
    case RESUME:
        return buttonHeld ? Outcome::Leave : Outcome::Stay;
    case START_MODE:
        if (!buttonHeld) return Outcome::Stay;
        settlePendingEntry();
        loadControls();
        startGame(entry.mode);
        return Outcome::Leave;
    case TOGGLE_OBSTACLES:
        drawSwitchState("Obstacle mode is ENABLED!", "Obstacle mode is DISABLED!", obstacleMode != 0);
        if (buttonHeld) {
            obstacleMode = obstacleMode != 0 ? 0 : 1;
            // Holding the button flips the switch about every 150 ms, not every frame.
            backend::sleepMs(150);
        }
        return Outcome::Stay;
    case TOGGLE_SYMBOLS:
        drawSwitchState("Block symbols are ON!", "Block symbols are OFF!", blockSymbols != 0);
        if (buttonHeld) {
            blockSymbols = blockSymbols != 0 ? 0 : 1;
            saveSettings();
            backend::sleepMs(150);
        }
        return Outcome::Stay;
    case OPEN_OPTIONS:
        if (buttonHeld) {
            loadControls();
            inOptions = 1;
            mouseX = 400;
            mouseY = 100;
        } else {
            drawLines(optionsHintLines, static_cast<int>(std::size(optionsHintLines)), index);
        }
        return Outcome::Stay;
    case EXIT:
        drawExitScreen();
        if (!buttonHeld) return Outcome::Stay;
        postQuit(0);
        return Outcome::Leave;
    }
    return Outcome::Stay;
}

// Escape (which does what "Resume" does) and Enter act once let go, so the game they lead to never
// sees them held: Escape would pause it again, Enter may be one of its keys. Only a press made on
// this menu counts; once per run.
struct KeyOnMenu {
    int code;
    bool down = false;
};
KeyOnMenu escapeKey{VK_ESCAPE};
KeyOnMenu enterKey{VK_RETURN};

bool letGo(KeyOnMenu& key) {
    const bool wasDown = key.down || keyPressed(key.code);
    key.down = wasDown && keyHeld(key.code);
    return wasDown && !key.down;
}

int leaveMenu() {
    escapeKey.down = enterKey.down = false;
    return 0;
}

} // namespace

int runMainMenu() {
    if (showScoreList != 0) {
        showScoreList = runHighScoreList();
        // A row's replay chosen on the list has cleared inMenu and takes the next passes.
        return inMenu;
    }
    if (letGo(escapeKey)) return leaveMenu();
    const bool enterLetGo = letGo(enterKey);
    // Drawn before the cursor moves, as ever, when it has a lost surface to restore.
    const bool whole = menuSurfacesWhole();
    if (!whole) drawBackdrop();
    trackCursor(0, 0, 784, 584);
    steerCursor(menuStops);
    const int hitX = mouseX;
    const int hitY = mouseY;
    const bool buttonHeld = mouseState.buttons[0] != 0 || (enterLetGo && cursorSteered());
    const MenuLook look = lookNow();
    // Nothing the picture depends on changed and nothing else showed since: the screen already shows it.
    if (whole && !buttonHeld && shownMenu.valid && look == shownMenu.look &&
        shownMenu.change == screenChanges())
        return 1;
    if (whole) drawBackdrop();

    if (look.panel) drawBestScoresPanel(look, buttonHeld);
    for (int k = 0; k < static_cast<int>(std::size(menuEntries)); ++k) {
        const MenuEntry& entry = menuEntries[k];
        drawTextCentered(entry.label, LABEL_X, entry.top + 2, k == OPTIONS_ENTRY ? PALE_BLUE : WHITE,
                         backSurface);
        if (contains(entryRect(entry), hitX, hitY) && actOnHoveredEntry(k, buttonHeld) == Outcome::Leave)
            return leaveMenu();
    }

    // Return freezes the picture while hover and clicks still work.
    if (keyHeld(VK_RETURN)) return 1;
    blitChecked(Bitmap::Mouse, {mouseX, mouseY, mouseX + 16, mouseY + 16}, true);
    presentFrame(false);
    shownMenu = {look, screenChanges(), true};
    return 1;
}

} // namespace crossfall
