// Plays a running game through its window the way a player does: the arrow
// keys and Shift, pressed in the X server. Where a player looks at the
// marble, the pilot reads it from the running program (the same figures the
// statistics show, plus speed), and steers with the autopilot of the tests
// along its planned line. It stops when the game leaves the levels.
//
// Usage: x_pilot PID DATA_DIR marble=HEX gameState=HEX levelNumber=HEX
//                levelDone=HEX timeLeft=HEX penaltyTimer=HEX
//                [boostReserve=HEX for orbivale-gl, whose Shift runs dry]
// Addresses are the program file's own (nm); the load address is taken from
// /proc/PID/maps. The X window must have the input focus.
#include "game/edition.h"
#include "game/game_state.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "platform/platform.h"
#include "sim/marble.h"
#include "tools/autopilot/autopilot.h"
#include "tools/mapcheck/checking_renderer.h"

#include "e2e/x_keyboard.h"

#include <X11/keysym.h>
#include <sys/uio.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <type_traits>

namespace {

static_assert(std::is_trivially_copyable_v<Marble>, "the marble is read as bytes");

pid_t gamePid = 0;
std::map<std::string, std::uintptr_t> addresses;

// The address the program file was loaded at: its first mapping.
std::uintptr_t loadAddress(pid_t pid)
{
    std::string exe = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe").string();
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.size() < exe.size() || line.compare(line.size() - exe.size(), exe.size(), exe) != 0)
            continue;
        std::istringstream fields(line);
        std::string range, perms, offset;
        fields >> range >> perms >> offset;
        if (std::stoull(offset, nullptr, 16) == 0)
            return std::stoull(range.substr(0, range.find('-')), nullptr, 16);
    }
    return 0;
}

template <typename T>
bool readGame(const char* name, T& value)
{
    iovec local{&value, sizeof value};
    iovec remote{reinterpret_cast<void*>(addresses.at(name)), sizeof value};
    return process_vm_readv(gamePid, &local, 1, &remote, 1, 0) == static_cast<ssize_t>(sizeof value);
}

struct GameView {
    Marble marble;
    GameState state = GameState::Title;
    int level = 0;
    bool levelDone = false;
    float timeLeft = 0.0f;
    float penaltyTimer = 0.0f;
    float boostReserve = 1.0f; // orbivale-glide's boost never runs dry
};

bool look(GameView& view)
{
    return readGame("marble", view.marble) && readGame("gameState", view.state) &&
           readGame("levelNumber", view.level) && readGame("levelDone", view.levelDone) &&
           readGame("timeLeft", view.timeLeft) && readGame("penaltyTimer", view.penaltyTimer) &&
           (!addresses.count("boostReserve") || readGame("boostReserve", view.boostReserve));
}

// Holds exactly the wanted keys, pressing and releasing only what changes.
class HeldKeys {
public:
    ~HeldKeys() { hold({}); }

    void hold(const std::set<int>& wanted)
    {
        for (auto [code, keysym] : kKeys) {
            bool want = wanted.count(code) != 0, down = held_.count(code) != 0;
            if (want == down)
                continue;
            sendXKey(keysym, want);
            if (want)
                held_.insert(code);
            else
                held_.erase(code);
        }
    }

private:
    static constexpr std::pair<int, unsigned long> kKeys[] = {{kKeyLeft, XK_Left},
                                                              {kKeyUp, XK_Up},
                                                              {kKeyRight, XK_Right},
                                                              {kKeyDown, XK_Down},
                                                              {kKeyShift, XK_Shift_L}};
    std::set<int> held_;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: x_pilot PID DATA_DIR name=HEX...\n");
        return 2;
    }
    gamePid = static_cast<pid_t>(std::atoi(argv[1]));
    std::uintptr_t base = loadAddress(gamePid);
    for (int i = 3; i < argc; ++i) {
        std::string arg = argv[i];
        auto eq = arg.find('=');
        if (eq != std::string::npos)
            addresses[arg.substr(0, eq)] = base + std::stoull(arg.substr(eq + 1), nullptr, 16);
    }
    for (const char* name : {"marble", "gameState", "levelNumber", "levelDone", "timeLeft", "penaltyTimer"})
        if (!addresses.count(name)) {
            std::fprintf(stderr, "x_pilot: no address for %s\n", name);
            return 2;
        }
    GameView view;
    if (base == 0 || !look(view)) {
        std::fprintf(stderr, "x_pilot: cannot read the game's memory (pid %d)\n", gamePid);
        return 1;
    }
    if (!openXKeyboard()) {
        std::fprintf(stderr, "x_pilot: no X display\n");
        return 1;
    }
    edition = addresses.count("boostReserve") ? Edition::Gl : Edition::Glide;
    // Maps name their texture; the pilot needs only the ground's shape.
    CheckingRenderer noDrawing;
    renderer = &noDrawing;
    std::filesystem::current_path(argv[2]);
    if (!loadLevelList()) {
        std::fprintf(stderr, "x_pilot: no level list in %s\n", argv[2]);
        return 1;
    }

    HeldKeys keys;
    Autopilot pilot;
    int plannedLevel = 0, falls = 0;
    float lastPenalty = 0.0f;
    bool reported = false;
    auto started = std::chrono::steady_clock::now();
    int result = 1;
    for (;;) {
        if (!look(view)) {
            std::printf("x_pilot: the game has gone\n");
            break;
        }
        if (view.state != GameState::Playing) {
            if (plannedLevel != 0) {
                std::printf("x_pilot: the game left the levels (screen %d)\n", static_cast<int>(view.state));
                result = 0;
                break;
            }
        } else if (view.level != plannedLevel && view.level >= 1 && view.level <= levelCount) {
            keys.hold({});
            Marble scratch;
            if (!levelMap.load(levelNames[view.level - 1], scratch) || !pilot.plan(levelMap)) {
                std::printf("x_pilot: no line through level %d\n", view.level);
                break;
            }
            plannedLevel = view.level;
            reported = false;
            falls = 0;
            lastPenalty = 0.0f;
            started = std::chrono::steady_clock::now();
            std::printf("x_pilot: driving level %d (%s)\n", plannedLevel, levelNames[plannedLevel - 1].c_str());
        }
        if (view.state == GameState::Playing && view.level == plannedLevel) {
            if (view.levelDone) {
                keys.hold({});
                if (!reported)
                    std::printf("x_pilot: level %d: goal with %.2f s left, %d falls, %.1f s of driving\n",
                                plannedLevel, view.timeLeft, falls,
                                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
                reported = true;
            } else {
                keys.hold(pilot.keysFor(view.marble, view.boostReserve > 0.0f));
            }
            if (view.penaltyTimer > lastPenalty + 0.01f) {
                ++falls;
                std::printf("x_pilot: fell near %.0f, %.0f\n", view.marble.position().x, view.marble.position().y);
            }
            lastPenalty = view.penaltyTimer;
        }
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
    keys.hold({});
    closeXKeyboard();
    return result;
}
