#include "screens/menu.h"

#include "game/edition.h"
#include "game/joystick_menu.h"
#include "game/options.h"

namespace {

// Index: cursor number; value: the line. Entry 0 is never used.
constexpr MenuItem kGlLines[] = {MenuItem::NewGame,   MenuItem::NewGame, MenuItem::HighScore, MenuItem::Options,
                                 MenuItem::Quit,      MenuItem::Statistics, MenuItem::Fog,    MenuItem::FarSight,
                                 MenuItem::Normal,    MenuItem::CameraLag, MenuItem::Midi,    MenuItem::Done};
constexpr MenuItem kGlideLines[] = {MenuItem::NewGame, MenuItem::NewGame,    MenuItem::Options,  MenuItem::HighScore,
                                    MenuItem::Credits, MenuItem::Quit,       MenuItem::Statistics, MenuItem::Fog,
                                    MenuItem::FarSight, MenuItem::Normal,    MenuItem::CameraLag, MenuItem::Midi,
                                    MenuItem::Control, MenuItem::Done};

// Moves without the Far Sight skip; index: cursor number.
constexpr int kGlUp[] = {1, 4, 1, 2, 3, 11, 5, 6, 7, 8, 9, 10};
constexpr int kGlDown[] = {1, 2, 3, 4, 1, 6, 7, 8, 9, 10, 11, 5};
constexpr int kGlideUp[] = {1, 5, 1, 2, 2, 4, 13, 6, 7, 8, 9, 10, 11, 12};
constexpr int kGlideDown[] = {1, 2, 4, 4, 5, 1, 7, 8, 9, 10, 11, 12, 13, 6};

int lineCount() { return isGlide() ? 13 : 11; }

bool validCursor(int cursor) { return cursor >= 1 && cursor <= lineCount(); }

// Far Sight cannot be chosen while fog is on: the move goes one line further.
int skipFarSight(int cursor, int step)
{
    if (fogOn && cursor == menuNumber(MenuItem::FarSight))
        return cursor + step;
    return cursor;
}

} // namespace

int menuNumber(MenuItem item)
{
    int count = lineCount();
    for (int n = 1; n <= count; ++n)
        if (menuItemAt(n) == item)
            return n;
    return 0;
}

MenuItem menuItemAt(int cursor)
{
    if (!validCursor(cursor))
        return MenuItem::NewGame;
    return isGlide() ? kGlideLines[cursor] : kGlLines[cursor];
}

bool cursorOnOptionsPage(int cursor) { return cursor >= menuNumber(MenuItem::Statistics); }

int menuCursorAfterUp(int cursor)
{
    if (!validCursor(cursor))
        return 1;
    int next = isGlide() ? kGlideUp[cursor] : kGlUp[cursor];
    // Without a joystick the Control line is passed over.
    if (isGlide() && cursor == 13 && !joystickPresent)
        next = 11;
    return skipFarSight(next, -1);
}

int menuCursorAfterDown(int cursor)
{
    if (!validCursor(cursor))
        return 1;
    int next = isGlide() ? kGlideDown[cursor] : kGlDown[cursor];
    if (isGlide() && cursor == 11 && !joystickPresent)
        next = 13;
    return skipFarSight(next, +1);
}
