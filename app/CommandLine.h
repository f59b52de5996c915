#pragma once

// The run modes that the switch on the command line selects.
enum RunMode
{
    RUN_MODE_SETTINGS,
    RUN_MODE_SAVER,
    RUN_MODE_PREVIEW,
    RUN_MODE_CHANGE_PASSWORD,
    RUN_MODE_UNKNOWN,
};

// Chooses the mode from the command line after the program name, by its first two characters
// only, case-insensitively: empty, /c or -c for settings, /s saver, /p preview, /a change
// password. Anything else is unknown.
RunMode ChooseRunMode(const char* pszCmdLine);

// The window handle of the preview and change-password modes: the number in the separate
// argument after the switch (element 2 of the run-time's argument vector), converted as atol
// does. Returns false when there is no such argument.
bool GetHandleArgument(int argc, const char* const* argv, long& nHandle);
