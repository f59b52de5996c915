#include "CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct ModeCase
{
    const char* pszCmdLine;
    RunMode mode;
};

TEST(CommandLineTest, ChoosesModeByFirstTwoCharacters)
{
    const ModeCase cases[] = {
        {"", RUN_MODE_SETTINGS},
        {nullptr, RUN_MODE_SETTINGS},
        {"/c", RUN_MODE_SETTINGS},
        {"-C", RUN_MODE_SETTINGS},
        {"/C:1234", RUN_MODE_SETTINGS},
        {"/s", RUN_MODE_SAVER},
        {"/S", RUN_MODE_SAVER},
        {"-s", RUN_MODE_SAVER},
        {"/save", RUN_MODE_SAVER},
        {"   /s", RUN_MODE_SAVER},
        {"\t\t/s", RUN_MODE_SAVER},
        {"/p 1234", RUN_MODE_PREVIEW},
        {"/P:1234", RUN_MODE_PREVIEW},
        {"-p", RUN_MODE_PREVIEW},
        {"/a", RUN_MODE_CHANGE_PASSWORD},
        {"/A 0", RUN_MODE_CHANGE_PASSWORD},
        {"-a 1234abc", RUN_MODE_CHANGE_PASSWORD},
        {"/", RUN_MODE_UNKNOWN},
        {"-", RUN_MODE_UNKNOWN},
        {"s", RUN_MODE_UNKNOWN},
        {"c", RUN_MODE_UNKNOWN},
        {"/x", RUN_MODE_UNKNOWN},
        {"\\s", RUN_MODE_UNKNOWN},
        {"//s", RUN_MODE_UNKNOWN},
        {"/ s", RUN_MODE_UNKNOWN},
        {"x/s", RUN_MODE_UNKNOWN},
    };
    for (const ModeCase& c : cases)
    {
        SCOPED_TRACE(c.pszCmdLine != nullptr ? c.pszCmdLine : "(null)");
        EXPECT_EQ(ChooseRunMode(c.pszCmdLine), c.mode);
    }
}

struct HandleCase
{
    std::vector<const char*> args;
    bool bPresent;
    long nHandle;
};

TEST(CommandLineTest, ReadsHandleFromSeparateArgumentAsAtolDoes)
{
    const HandleCase cases[] = {
        {{"vulkara.scr", "/p", "1234"}, true, 1234},
        {{"vulkara.scr", "/a", "0"}, true, 0},
        {{"vulkara.scr", "/a", "1234abc"}, true, 1234},
        {{"vulkara.scr", "/a", "  42"}, true, 42},
        {{"vulkara.scr", "/a", "+7"}, true, 7},
        {{"vulkara.scr", "/a", "-7"}, true, -7},
        {{"vulkara.scr", "/a", "abc"}, true, 0},
        {{"vulkara.scr", "/a", ""}, true, 0},
        {{"vulkara.scr", "/a", "0x10"}, true, 0},
        {{"vulkara.scr", "/p", "12", "34"}, true, 12},
        {{"vulkara.scr", "/p:1234"}, false, 0},
        {{"vulkara.scr", "/p"}, false, 0},
        {{"vulkara.scr"}, false, 0},
    };
    for (const HandleCase& c : cases)
    {
        SCOPED_TRACE(c.args.size() > 2 ? c.args[2] : c.args.back());
        constexpr long UNTOUCHED = -99;
        long nHandle = UNTOUCHED;
        EXPECT_EQ(GetHandleArgument(static_cast<int>(c.args.size()), c.args.data(), nHandle),
                  c.bPresent);
        EXPECT_EQ(nHandle, c.bPresent ? c.nHandle : UNTOUCHED);
    }
}
} // namespace
