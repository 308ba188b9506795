#include "screens/menu_screen.h"

#include "game/edition_rules.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "render/font.h"
#include "screens/menu.h"
#include "screens/text_colour.h"

namespace {

enum class LineLook { Normal, Unavailable };

void colourFor(MenuItem item, LineLook look = LineLook::Normal)
{
    int number = menuNumber(item);
    if (number == menuCursor && number != 0)
        setTextColour(1.0f, 1.0f, 1.0f);
    else if (look == LineLook::Unavailable)
        setGreyTextColour();
    else
        setTextColour(0.0f, 0.0f, 1.0f);
}

void line(MenuItem item, const char* text, LineLook look = LineLook::Normal)
{
    colourFor(item, look);
    font.drawText(text);
}

const char* onOff(bool on, const char* whenOn, const char* whenOff) { return on ? whenOn : whenOff; }

const char* mainPageText(MenuItem item)
{
    switch (item) {
    case MenuItem::NewGame:
        return "NeW Game\n";
    case MenuItem::HighScore:
        return "HIGHSCORE\n";
    case MenuItem::Options:
        return "Options\n";
    case MenuItem::Credits:
        return "credits\n";
    default:
        return "Quit";
    }
}

// The main page's lines in the running program's order.
void drawMainPage()
{
    font.setPosition(220.0f, 160.0f);
    for (int n = 1; n < menuNumber(MenuItem::Statistics); ++n) {
        MenuItem item = menuItemAt(n);
        if (item == MenuItem::HighScore && !rules().highScoreChoosable) {
            setGreyTextColour(); // never selectable here
            font.drawText(mainPageText(item));
        } else {
            line(item, mainPageText(item));
        }
    }
}

void drawOptionsPage()
{
    font.setPosition(185.0f, 120.0f);
    line(MenuItem::Statistics, onOff(showStatistics, "Statistics: ON\n", "Statistics: OFF\n"));
    line(MenuItem::Fog, onOff(fogOn, "Fog: ON\n", "Fog: OFF\n"));
    line(MenuItem::FarSight, onOff(farSight, "Far Sight: ON\n", "Far Sight: OFF\n"),
         fogOn ? LineLook::Unavailable : LineLook::Normal);
    line(MenuItem::Normal, onOff(normalView, "Normal: ON\n", "Normal: OFF\n"));
    line(MenuItem::CameraLag, "Camera Lag: ");
    font.drawNumber(cameraLag, 0);
    font.drawText("\n");
    line(MenuItem::Midi, "MIDI: ");
    font.drawText(onOff(musicOn, "ON\n", "OFF\n"));
    if (menuNumber(MenuItem::Control) != 0) {
        if (!joystickPresent) {
            setGreyTextColour();
            font.drawText("Control: keyboard\n");
        } else {
            line(MenuItem::Control, onOff(joystickControl, "Control: joystick\n", "Control: keyboard\n"));
        }
    }
    line(MenuItem::Done, "Done");
}

} // namespace

void drawMenu()
{
    font.setScale(1.0f);
    if (cursorOnOptionsPage(menuCursor))
        drawOptionsPage();
    else
        drawMainPage();
}
