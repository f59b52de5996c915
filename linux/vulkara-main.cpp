// The fire as an XScreenSaver hack: vulkara [-root | -window-id ID] [options].

#include "CVulkaraHack.h"
#include "HackOptions.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    HackOptions options;
    std::string strError;
    if (!ParseHackOptions(argc, argv, options, strError))
    {
        std::fprintf(stderr, "vulkara: %s\n", strError.c_str());
        PrintHackSynopsis(stderr);
        return CVulkaraHack::EXIT_USAGE;
    }
    if (options.bHelp)
    {
        PrintHackUsage(stdout);
        return CVulkaraHack::EXIT_OK;
    }
    CVulkaraHack::CatchSignals();
    CVulkaraHack hack(options);
    return hack.Run();
}
