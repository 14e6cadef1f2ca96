#include "app/RegistryScript.h"
#include "app/WorkApp.h"

#include <gtest/gtest.h>

namespace {
TEST(CommandLineTest, OptionsStartAtTheFirstDashAfterTheBaseName) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"\"C:\\Program Files\\Kelmora.exe\" -REL \"MVX 16.6\"  ", "-rel \"mvx 16.6\""},
        {"C:\\my-tools\\kelmora.exe -pathC:\\X", "-pathc:\\x"},
        {"\"C:\\Tools\\kelmora-old.exe\" -rel a", "-old.exe\" -rel a"},
        {"  kelmora.exe   ", std::nullopt},
        {"C:\\Tools\\morvane.exe -rel a", std::nullopt},
    };
    for (const auto& [commandLine, arguments] : cases)
        EXPECT_EQ(arguments, UseArgumentText(commandLine)) << commandLine;
}

TEST(CommandLineTest, RegistryScriptPathFillsTheCommandToItsLimit) {
    const std::string longest(kUseRegistryScriptPathLimit, 'x');
    EXPECT_EQ("regedit /s \"" + longest + "\"", UseComposeRegistryScriptCommand(longest).command);
    EXPECT_EQ("", UseComposeRegistryScriptCommand(longest + "x").command);
}
} // namespace
