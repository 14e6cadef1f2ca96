#include "platform/Text.h"
#include "support/PrefixState.h"
#include "support/Process.h"
#include "support/Sandbox.h"

#include <windows.h>

#include <thread>

namespace {
constexpr const char* kScriptKey = "Software\\Norvale\\KelmoraScriptTest";

class StartupTest : public PrefixTest {
protected:
    // A registry script that sets one value under the current user's Norvale key.
    std::string AddScript(const std::string& name) const {
        return folder_.AddFile(name, std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\") + kScriptKey +
                                         "]\r\n\"Imported\"=\"yes\"\r\n");
    }
    bool Imported() const { return GetStored(false, kScriptKey, "Imported").text == "yes"; }

    // Runs program and expects it to end by itself with exitCode and exactly output.
    static void ExpectRun(const std::string& program, const std::string& arguments, unsigned long exitCode,
                          const std::string& output) {
        const ProcessResult result = RunProgram(program, arguments, "", 20000);
        EXPECT_FALSE(result.timedOut) << arguments;
        EXPECT_EQ(exitCode, result.exitCode) << arguments;
        EXPECT_EQ(output, result.output) << arguments;
    }

    const std::string kelmora_ = BuildFolder() + "\\kelmora.exe";
    ScopedTempFolder folder_;
};

TEST_F(StartupTest, RefusedCommandLinesPrintOneLineAndDoNothing) {
    const std::string reg = "-reg \"" + AddScript("script.reg") + "\"";
    // The folder by its short name: free of blanks and of the program's base name, which its long name
    // carries.
    char folder[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(folder_.Path().c_str(), folder, MAX_PATH), 0u);
    const std::string script = std::string(folder) + "\\script.reg",
                      copy = std::string(folder) + "\\kelmora-old.exe";
    ASSERT_TRUE(CopyFileA(kelmora_.c_str(), copy.c_str(), FALSE));
    std::string padded = folder;
    while (padded.size() <= 1010)
        padded += "\\.";

    const struct Case {
        std::string program, arguments, output;
    } cases[] = {
        {kelmora_, "-rel a -REL b", "Parameters are used twice\n"},
        {kelmora_, reg + " -REG x", "Parameters are used twice\n"},
        {kelmora_, reg + " -release x", "Unknown parameters are used\n"},
        {kelmora_, reg + " -rel", "Value was expected, but none was given\n"},
        // A "-" after the base name in the program's own file name starts the options.
        {copy, "", "Unknown parameters are used\n"},
        {copy, "-rel a", "Unknown parameters are used\n"},
        {kelmora_, "-reg\"" + script + "\"x",
         "The registry script path " + UseToLower(script) +
             "\"x holds a double quote; nothing was imported.\n"},
        {kelmora_, "-reg \"" + padded + "\\script.reg\"",
         "The registry script path is longer than 1010 characters; nothing was imported.\n"},
    };
    for (const Case& c : cases)
        ExpectRun(c.program, c.arguments, 1, c.output);
    EXPECT_FALSE(Imported());
}

TEST_F(StartupTest, RegistryScriptWithBlankInItsPathIsImported) {
    ExpectRun(kelmora_, "-reg \"" + AddScript("Norvale script.reg") + "\"", 0, "");
    EXPECT_TRUE(Imported());
}

// Without options the main dialog runs until the user closes it; the run then ends with exit code 0.
TEST_F(StartupTest, WithoutOptionsTheMainDialogRunsUntilClosed) {
    std::string caption;
    std::thread user([&caption] {
        for (int tries = 0; tries < 300 && caption.empty(); ++tries) {
            Sleep(50);
            const HWND dialog = FindWindowA("#32770", nullptr);
            if (dialog == nullptr || !IsWindowVisible(dialog)) continue;
            char text[256] = "";
            GetWindowTextA(dialog, text, sizeof text);
            caption = text;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    ExpectRun(kelmora_, "", 0, "");
    user.join();
    EXPECT_EQ("Morvane", caption.substr(0, 7));
}
} // namespace
