// ruby_sysinit prepares Ruby's Windows runtime (without it, the interpreter's
// first file operation hangs) and on the way changes settings that belong to
// the whole game process. docs/windows.md lists every change and why each is
// put back or kept. Put back here, because the game chose them:
//   - the process's error mode (Ruby turns off the crash dialog and the
//     "no disk" boxes for every thread of the game),
//   - the translation mode of the C runtime's standard input (Ruby makes it
//     binary; its own reads set binary mode again when a script asks),
//   - the mode of the console that standard output writes to (Ruby turns on
//     escape sequences for the whole console, which outlives the game; Ruby
//     writes to a console correctly in either mode).
#include "interpreter/windows_start.h"

#include <ruby.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace kestrel {
namespace {

struct GameSettings {
    UINT errorMode;
    int inputDescriptor;
    int inputMode;  // -1: no standard input to put back
    HANDLE console;
    DWORD consoleMode;
    bool hasConsole;
};

GameSettings ReadGameSettings()
{
    GameSettings settings = {};
    settings.errorMode = GetErrorMode();
    settings.inputDescriptor = _fileno(stdin);
    settings.inputMode = -1;
    if (settings.inputDescriptor >= 0) {
        // The mode is read by setting one: binary, which is what comes next anyway.
        settings.inputMode = _setmode(settings.inputDescriptor, _O_BINARY);
        if (settings.inputMode != -1)
            _setmode(settings.inputDescriptor, settings.inputMode);
    }
    settings.console = GetStdHandle(STD_OUTPUT_HANDLE);
    settings.hasConsole = GetConsoleMode(settings.console, &settings.consoleMode) != 0;
    return settings;
}

void PutBackGameSettings(const GameSettings& settings)
{
    SetErrorMode(settings.errorMode);
    if (settings.inputMode != -1)
        _setmode(settings.inputDescriptor, settings.inputMode);
    if (settings.hasConsole)
        SetConsoleMode(settings.console, settings.consoleMode);
}

}  // namespace

void PrepareWindowsRuntime()
{
    GameSettings settings = ReadGameSettings();
    // It replaces both with the game's own command line, parsed; the
    // interpreter takes its options later, from its own.
    int argc = 0;
    char** argv = nullptr;
    ruby_sysinit(&argc, &argv);
    PutBackGameSettings(settings);
}

}  // namespace kestrel
