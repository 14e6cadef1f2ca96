#include "ui/AboutDlg.h"

#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
TEST(AboutDlgTest, ShowsNameVersionCopyrightAndIcon) {
    ScriptedPrompts prompts;
    CAboutDlg about;
    const INT_PTR result = RunDialog(about, [](DialogDriver& dialog) {
        EXPECT_EQ("About Morvane", dialog.Caption());
        const std::vector<std::string> texts = dialog.StaticTexts();
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), "Morvane Version 1.0"));
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), "Copyright (C) 2026 Norvale"));
        const HWND icon = FindWindowExA(dialog.Handle(), nullptr, "Static", nullptr);
        EXPECT_NE(0, SendMessageA(icon, STM_GETICON, 0, 0));
        dialog.Click(IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(AboutDlgTest, EscapeClosesIt) {
    CAboutDlg about;
    EXPECT_EQ(IDCANCEL, RunDialog(about, [](DialogDriver& dialog) { dialog.PressEscape(); }));
}
} // namespace
