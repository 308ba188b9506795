#include "screens/menu.h"

#include "game/edition_rules.h"
#include "game/joystick_menu.h"
#include "game/options.h"

namespace {

int lineCount() { return rules().menuLineCount; }

bool validCursor(int cursor) { return cursor >= 1 && cursor <= lineCount(); }

// Far Sight cannot be chosen while fog is on, nor Control without a
// joystick: the move goes one line further.
int skipUnavailable(int cursor, int step)
{
    if (!joystickPresent && cursor == menuNumber(MenuItem::Control))
        cursor += step;
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
    return rules().menuLines[cursor];
}

bool cursorOnOptionsPage(int cursor) { return cursor >= menuNumber(MenuItem::Statistics); }

int menuCursorAfterUp(int cursor)
{
    if (!validCursor(cursor))
        return 1;
    return skipUnavailable(rules().menuUp[cursor], -1);
}

int menuCursorAfterDown(int cursor)
{
    if (!validCursor(cursor))
        return 1;
    return skipUnavailable(rules().menuDown[cursor], +1);
}
