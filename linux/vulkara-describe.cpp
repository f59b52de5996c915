// Writes what describes the hack to XScreenSaver and to readers from the option table, so that
// the ranges and defaults are written once: the settings dialog's vulkara.xml and the manual
// page vulkara.6.
//   vulkara-describe xml|man OUTPUT

#include "HackOptions.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
constexpr int EXIT_BAD_ARGUMENTS = 2;
constexpr int EXIT_WRITE_FAILED = 1;

const char DESCRIPTION[] =
    "Fire burning up from the bottom of the screen, with sparkles rising from it, fireballs "
    "bouncing over it and fireworks bursting above; the desktop can show faded through the "
    "flames.";

int ChoiceCount(const HackOptionRow& row)
{
    return RangeOf(row).nMax - RangeOf(row).nMin + 1;
}

std::string Xml()
{
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n\n"
        << "<screensaver name=\"vulkara\" _label=\"Vulkara\">\n\n"
        << "  <command arg=\"-root\"/>\n\n";
    for (const HackOptionRow& row : HACK_OPTIONS)
    {
        const SettingRange range = RangeOf(row);
        switch (row.kind)
        {
        case HackOptionKind::Number:
            xml << "  <number id=\"" << row.pszName << "\" type=\"slider\" arg=\"-" << row.pszName
                << " %\"\n"
                << "          _label=\"" << row.pszLabel << "\" _low-label=\"" << row.pszLowLabel
                << "\" _high-label=\"" << row.pszHighLabel << "\"\n"
                << "          low=\"" << range.nMin << "\" high=\"" << range.nMax << "\" default=\""
                << DefaultOf(row) << "\"" << (row.bInverted ? "\n          convert=\"invert\"" : "")
                << "/>\n\n";
            break;
        case HackOptionKind::Choice:
        {
            // The default is the one choice that adds nothing to the command line.
            HackOptionRow labels = row;
            labels.pszLowLabel = row.pszHighLabel;
            xml << "  <select id=\"" << row.pszName << "\">\n";
            for (int n = 0; n < ChoiceCount(row); ++n)
            {
                const std::string strWord = ChoiceWord(row, n);
                xml << "    <option id=\"" << strWord << "\" _label=\"" << ChoiceWord(labels, n)
                    << "\"";
                if (range.nMin + n != DefaultOf(row))
                    xml << " arg-set=\"-" << row.pszName << " " << strWord << "\"";
                xml << "/>\n";
            }
            xml << "  </select>\n\n";
            break;
        }
        case HackOptionKind::Flag:
            xml << "  <boolean id=\"" << row.pszName << "\" _label=\"" << row.pszLabel
                << "\" arg-set=\"-" << row.pszName << "\"/>\n\n";
            break;
        }
    }
    xml << "  <_description>\n" << DESCRIPTION << "\n  </_description>\n</screensaver>\n";
    return xml.str();
}

// A sentence of the option's help line.
std::string Sentence(const char* pszHelp)
{
    std::string strText = pszHelp;
    if (!strText.empty() && strText[0] >= 'a' && strText[0] <= 'z')
        strText[0] = static_cast<char>(strText[0] - 'a' + 'A');
    return strText;
}

// Text for troff: dashes and backslashes escaped.
std::string Roff(const std::string& strText)
{
    std::string strOut;
    for (char c : strText)
    {
        if (c == '-' || c == '\\')
            strOut += '\\';
        strOut += c;
    }
    return strOut;
}

std::string Man()
{
    std::ostringstream man;
    man << ".TH VULKARA 6 \"\" \"" << VULKARA_VERSION << "\" \"XScreenSaver\"\n"
        << ".SH NAME\nvulkara \\- fire, sparkles, fireballs and fireworks\n"
        << ".SH SYNOPSIS\n.B vulkara\n"
        << "[\\-root | \\-window\\-id \\fIid\\fP] [\\-geometry \\fIWxH+X+Y\\fP] "
        << "[\\-display \\fIhost:display.screen\\fP]";
    for (const HackOptionRow& row : HACK_OPTIONS)
    {
        man << " [\\-" << Roff(row.pszName);
        if (row.kind != HackOptionKind::Flag)
            man << " \\fI" << (row.kind == HackOptionKind::Choice ? Roff(row.pszLowLabel) : "n")
                << "\\fP";
        man << "]";
    }
    man << "\n.SH DESCRIPTION\n"
        << DESCRIPTION << "\n.PP\n"
        << "It runs as an XScreenSaver hack: add\n.B vulkara \\-root\n"
        << "to the programs in ~/.xscreensaver. It makes no sound.\n"
        << ".SH OPTIONS\n"
        << ".TP 8\n.B \\-root\nDraw on the root window, or on the window that "
        << "XSCREENSAVER_WINDOW names when it is set.\n"
        << ".TP 8\n.BI \\-window\\-id \" id\"\nDraw on that window (decimal, or hexadecimal "
        << "after 0x).\n"
        << ".TP 8\n.BI \\-geometry \" WxH+X+Y\"\nWithout either, the program opens its own "
        << "window, 1024x768 unless this says otherwise.\n";
    for (const HackOptionRow& row : HACK_OPTIONS)
    {
        const SettingRange range = RangeOf(row);
        man << ".TP 8\n";
        if (row.kind == HackOptionKind::Flag)
        {
            man << ".B \\-" << Roff(row.pszName) << "\n" << Roff(Sentence(row.pszHelp)) << ".\n";
            continue;
        }
        if (row.kind == HackOptionKind::Choice)
            man << ".BI \\-" << Roff(row.pszName) << " \" " << Roff(row.pszLowLabel) << "\"\n"
                << Roff(Sentence(row.pszHelp)) << "; default "
                << Roff(ChoiceWord(row, DefaultOf(row) - range.nMin)) << ".\n";
        else
            man << ".BI \\-" << Roff(row.pszName) << " \" n\"\n"
                << Roff(Sentence(row.pszHelp)) << "; " << range.nMin << " to " << range.nMax
                << ", default " << DefaultOf(row) << ".\n";
    }
    man << ".SH ENVIRONMENT\n.TP 8\n.B DISPLAY\nThe X server to draw on.\n"
        << ".TP 8\n.B XSCREENSAVER_WINDOW\nThe window that \\-root draws on, as XScreenSaver "
        << "and the lockers that run its hacks hand it over.\n"
        << ".SH EXIT STATUS\n0 when ended by SIGTERM or SIGINT, closed, or when its window is "
        << "destroyed; 1 when it cannot run; 2 for a bad option or value.\n"
        << ".SH SEE ALSO\n.BR xscreensaver (1),\n.BR xscreensaver\\-settings (1)\n";
    return man.str();
}
} // namespace

int main(int argc, char** argv)
{
    const std::string strKind = argc == 3 ? argv[1] : "";
    if (strKind != "xml" && strKind != "man")
    {
        std::fprintf(stderr, "usage: vulkara-describe xml|man OUTPUT\n");
        return EXIT_BAD_ARGUMENTS;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << (strKind == "xml" ? Xml() : Man());
    out.close();
    if (!out)
    {
        std::fprintf(stderr, "vulkara-describe: cannot write %s\n", argv[2]);
        return EXIT_WRITE_FAILED;
    }
    return 0;
}
