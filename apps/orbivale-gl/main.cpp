#include "platform/sdl/sdl_platform.h"
#include "shell/edition.h"
#include "shell/program.h"

int main(int, char**)
{
    edition = Edition::Gl;
    SdlPlatform sdl;
    if (!sdl.init())
        return 0;
    platform = &sdl;
    int exitCode = runProgram();
    platform = nullptr;
    return exitCode;
}
