// HTML help: the program's help display and the path of its help file.
//
// The library shows no windows itself. The program registers its help display at start-up
// (RegisterHtmlHelpDisplay) and removes it before the display is destroyed; HtmlHelpA hands
// every request to it and answers NULL while none is registered. Register and unregister on
// the user-interface thread while no help request is running.
#pragma once

#include "tessel/tessel_api.h"

#include <cstdint>
#include <string>

// Help commands understood by a help display.
enum : unsigned
{
    HH_DISPLAY_TOPIC = 0x0000,
    HH_DISPLAY_TOC = 0x0001,
    HH_DISPLAY_INDEX = 0x0002,
    HH_DISPLAY_SEARCH = 0x0003,
    HH_HELP_CONTEXT = 0x000F,
    HH_CLOSE_ALL = 0x0012,
};

class TESSEL_API IHtmlHelpDisplay
{
public:
    virtual ~IHtmlHelpDisplay();
    // Carries out one help request for the window (a handle of the program's choosing);
    // returns the help window's handle, or NULL when the request could not be shown.
    virtual void* ShowHelp(void* window, const char* file, unsigned command,
                           std::uintptr_t data) = 0;

protected:
    IHtmlHelpDisplay() = default;
    IHtmlHelpDisplay(const IHtmlHelpDisplay&) = default;
    IHtmlHelpDisplay& operator=(const IHtmlHelpDisplay&) = default;
};

// Registers the display (not owned); NULL removes it.
TESSEL_API void RegisterHtmlHelpDisplay(IHtmlHelpDisplay* display);
// 1 while a display is registered.
TESSEL_API int ISHtmlHelpAvailable();

// Hands the request to the registered display; NULL when none is registered.
TESSEL_API void* HtmlHelpA(void* window, const char* file, unsigned command, std::uintptr_t data);

// The program file's path in the kept form with the extension "chm" (replacing the file's
// extension, or added when it has none). Returns 1, or 0 with an empty destination when the
// program's path cannot be read.
TESSEL_API int GetHTMLHelpPath(std::string& destination);
