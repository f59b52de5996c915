#include "CommandLine.h"

#include <cstdlib>
#include <string>

namespace
{
constexpr int HANDLE_ARGUMENT = 2; // after the program path and the switch

// Lower-cases single-byte ASCII letters only, leaving every other byte as it is.
char ToLowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Every character up to and including the space counts as white space, as the framework
// counts it when it splits the program name off the command line.
bool IsCommandLineSpace(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u != 0 && u <= ' ';
}
} // namespace

RunMode ChooseRunMode(const char* pszCmdLine)
{
    // The framework has normally skipped this white space already; skipping it again keeps
    // the choice the same whoever split off the program name.
    const char* psz = pszCmdLine != nullptr ? pszCmdLine : "";
    while (IsCommandLineSpace(*psz))
    {
        ++psz;
    }

    std::string strCmdLine = psz;
    for (char& c : strCmdLine)
    {
        c = ToLowerAscii(c);
    }

    if (strCmdLine.empty())
    {
        return RUN_MODE_SETTINGS;
    }
    if (strCmdLine.size() < 2 || (strCmdLine[0] != '-' && strCmdLine[0] != '/'))
    {
        return RUN_MODE_UNKNOWN;
    }
    switch (strCmdLine[1])
    {
    case 'c':
        return RUN_MODE_SETTINGS;
    case 's':
        return RUN_MODE_SAVER;
    case 'p':
        return RUN_MODE_PREVIEW;
    case 'a':
        return RUN_MODE_CHANGE_PASSWORD;
    default:
        return RUN_MODE_UNKNOWN;
    }
}

bool GetHandleArgument(int argc, const char* const* argv, long& nHandle)
{
    if (argv == nullptr || argc <= HANDLE_ARGUMENT || argv[HANDLE_ARGUMENT] == nullptr)
    {
        return false;
    }
    // strtol converts as atol does (leading white space, a sign, digits up to the first
    // other character, 0 without digits) but with a defined result on overflow.
    nHandle = std::strtol(argv[HANDLE_ARGUMENT], nullptr, 10);
    return true;
}
