// The program's entry: on Windows it first finds a console for its
// messages, then hands over to vortan_main.
#include <SDL.h>  // on Windows its entry point hands main the arguments in UTF-8
#include "host/app/automation.h"

#ifdef _WIN32
#include <windows.h>
#include <cstdio>

// A windowed program has no console of its own: started from one, its
// messages go there, unless they are already sent somewhere else.
static void use_parent_console() {
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err && err != INVALID_HANDLE_VALUE && GetFileType(err) != FILE_TYPE_UNKNOWN) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    use_parent_console();
#endif
    return vortan_main(argc, argv);
}
