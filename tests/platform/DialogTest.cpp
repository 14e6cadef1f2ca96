#include "platform/Dialog.h"

#include "app/UseException.h"
#include "resource.h"
#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {
// A dialog on the main window's template that binds the release list and the summary, and records
// what reaches its handlers.
class ProbeDialog : public UseModalDialog {
  public:
    ProbeDialog() : UseModalDialog(IDD_USE_WORK_DIALOG) {}

    std::vector<std::string> items;
    std::string selected;
    std::string summary;
    std::vector<std::string> events;
    std::function<void(int)> onButton;

  protected:
    void DoDataExchange(bool saveAndValidate) override {
        ExchangeListSelection(saveAndValidate, IDC_RELEASE_LIST, selected);
        ExchangeText(saveAndValidate, IDC_SUMMARY, summary);
    }
    bool OnInit() override {
        const UseListBox list = ListBox(IDC_RELEASE_LIST);
        for (const std::string& item : items)
            list.AddString(item);
        list.FitHorizontalExtent();
        AppendSystemMenuItem(IDM_ABOUTBOX, IDS_ABOUTBOX);
        SetIcon(IDR_MAINFRAME);
        return UseModalDialog::OnInit();
    }
    bool OnButtonClicked(int id) override {
        events.push_back("click " + std::to_string(id));
        if (onButton) onButton(id);
        return true;
    }
    bool OnListSelectionChange(int id) override {
        events.push_back("select " + std::to_string(id) + " " + ListBox(id).SelectedText());
        return true;
    }
    bool OnListDoubleClick(int id) override {
        events.push_back("double " + std::to_string(id));
        return true;
    }
    bool OnSysCommand(UINT command) override {
        if (command != IDM_ABOUTBOX) return false;
        events.push_back("about");
        return true;
    }
};

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override { UseLoadRichEdit(); }
    ScriptedPrompts prompts;
    ProbeDialog dialog;
};

TEST_F(DialogTest, FieldsFillTheControlsAndOnlyOKReadsThemBack) {
    struct Case {
        const char* name;
        std::string initial; // the selection field when the dialog opens
        bool select;         // select "beta(C:\\B)" and type into the summary
        bool confirm;
        INT_PTR result;
        std::string selected;
        std::string summary;
    } cases[] = {
        {"OK", "alpha(C:\\A)", true, true, IDOK, "beta(C:\\B)", "typed\r\n"},
        {"Escape", "alpha(C:\\A)", true, false, IDCANCEL, "alpha(C:\\A)", "Original"},
        {"nothing selected", "not listed", false, true, IDOK, "", "Original"},
    };
    for (const Case& c : cases) {
        ProbeDialog probe;
        probe.items = {"beta(C:\\B)", "alpha(C:\\A)"};
        probe.selected = c.initial;
        probe.summary = "Original";
        const INT_PTR result = RunDialog(probe, [&](DialogDriver& driver) {
            EXPECT_EQ(c.select ? c.initial : "", driver.ListSelectedText(IDC_RELEASE_LIST)) << c.name;
            EXPECT_EQ("Original", driver.Text(IDC_SUMMARY)) << c.name;
            if (c.select) {
                driver.SelectListItem(IDC_RELEASE_LIST, "beta(C:\\B)");
                driver.Type(IDC_SUMMARY, "typed\r\n");
            }
            c.confirm ? driver.Click(IDOK) : driver.PressEscape();
        });
        EXPECT_EQ(c.result, result) << c.name;
        EXPECT_EQ(c.selected, probe.selected) << c.name;
        EXPECT_EQ(c.summary, probe.summary) << c.name;
    }
}

TEST_F(DialogTest, SortedListKeepsItsOwnOrderAndNotifiesTheOwner) {
    dialog.items = {"MVX 16.6(C:\\Suite\\16.6)", "mvx 10(C:\\m)", "Beta(D:\\b)",
                    "MVX 16.10(C:\\Suite\\16.10)"};
    RunDialog(dialog, [](DialogDriver& driver) {
        EXPECT_EQ((std::vector<std::string>{"Beta(D:\\b)", "mvx 10(C:\\m)", "MVX 16.10(C:\\Suite\\16.10)",
                                            "MVX 16.6(C:\\Suite\\16.6)"}),
                  driver.ListItems(IDC_RELEASE_LIST));
        driver.DoubleClickListItem(IDC_RELEASE_LIST, 2);
        driver.Click(IDC_MANUAL);
        driver.Click(IDCANCEL);
    });
    EXPECT_EQ(
        (std::vector<std::string>{"select 1005 MVX 16.10(C:\\Suite\\16.10)", "double 1005", "click 1009"}),
        dialog.events);
}

// The width of text drawn on the list's surface without its font (the surface's default font).
int WidthWithDefaultFont(HWND list, const std::string& text) {
    HDC surface = GetDC(list);
    SIZE size = {};
    GetTextExtentPoint32A(surface, text.c_str(), static_cast<int>(text.size()), &size);
    ReleaseDC(list, surface);
    return size.cx;
}

TEST_F(DialogTest, HorizontalExtentFollowsTheWidestItemInTheListsFont) {
    const std::string longItem =
        "MVX 16.6(C:\\Program Files (x86)\\Norvale\\Design Suite\\Releases\\16.6 Server)";
    dialog.items = {"a(C:\\a)", longItem, "b(C:\\b)"};
    RunDialog(dialog, [&](DialogDriver& driver) {
        const HWND list = driver.Item(IDC_RELEASE_LIST);
        const int extent = driver.ListHorizontalExtent(IDC_RELEASE_LIST);
        RECT client = {};
        GetClientRect(list, &client);
        EXPECT_GT(extent, client.right) << "a long item must make the list scroll";
        EXPECT_EQ(UseListBox(list).TextWidth(longItem), extent);
        EXPECT_NE(WidthWithDefaultFont(list, longItem), extent) << "measured without the list's font";
        SCROLLINFO scroll = {};
        scroll.cbSize = sizeof scroll;
        scroll.fMask = SIF_RANGE;
        GetScrollInfo(list, SB_HORZ, &scroll);
        EXPECT_EQ(extent - 1, scroll.nMax);
        driver.Click(IDCANCEL);
    });
}

TEST_F(DialogTest, SystemMenuGetsTheAboutItemAndTheIconIsSet) {
    RunDialog(dialog, [](DialogDriver& driver) {
        const std::vector<DialogDriver::MenuItem> items = driver.SystemMenuItems();
        ASSERT_GE(items.size(), 2u);
        EXPECT_TRUE(items[items.size() - 2].separator);
        EXPECT_EQ(UINT{IDM_ABOUTBOX}, items.back().command);
        EXPECT_EQ("&About Morvane...", items.back().text);
        driver.SystemCommand(IDM_ABOUTBOX);

        const HWND window = driver.Handle();
        const LRESULT large = SendMessageA(window, WM_GETICON, ICON_BIG, 0);
        EXPECT_NE(0, large);
        EXPECT_NE(0, SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
        EXPECT_EQ(large, SendMessageA(window, WM_QUERYDRAGICON, 0, 0));
        driver.Click(IDCANCEL);
    });
    EXPECT_EQ(std::vector<std::string>{"about"}, dialog.events);
}

TEST_F(DialogTest, HandlerFailureIsShownUnderTheMessageCaptionAndTheDialogStaysUsable) {
    struct Case {
        int button;
        std::string message;
    } cases[] = {
        {IDC_MANUAL, "Store could not be loaded"},
        {IDC_FILE_ASSOCIATION, "bad conversion"},
        {ID_HELP, "An unexpected error occurred."},
    };
    dialog.onButton = [](int id) {
        if (id == IDC_MANUAL) throw UseException("Store could not be loaded");
        if (id == IDC_FILE_ASSOCIATION) throw std::runtime_error("bad conversion");
        throw 42;
    };
    RunDialog(dialog, [&](DialogDriver& driver) {
        for (const Case& c : cases) {
            driver.Click(c.button);
            ASSERT_FALSE(prompts.messages.empty()) << c.message;
            EXPECT_EQ(c.message, prompts.messages.back().text);
            EXPECT_EQ("Morvane", prompts.messages.back().caption);
            EXPECT_EQ(driver.Handle(), prompts.messages.back().owner);
            EXPECT_TRUE(driver.IsOpen());
        }
        dialog.SetMessageCaption("Imoprt...");
        driver.Click(IDC_MANUAL);
        EXPECT_EQ("Imoprt...", prompts.messages.back().caption);
        driver.Click(IDCANCEL);
    });
    EXPECT_EQ(4u, prompts.messages.size());
}

TEST_F(DialogTest, RichEditInsertsAtTheCaret) {
    dialog.summary = "Original Setting: \r\n";
    RunDialog(dialog, [&](DialogDriver& driver) {
        const UseRichEdit summary(driver.Item(IDC_SUMMARY));
        summary.WrapAtWindowWidth();
        SendMessageA(summary.Handle(), EM_SETSEL, -1, -1);
        summary.ReplaceSelection("    NVLROOT       = C:\\Suite\r\n");
        EXPECT_EQ("Original Setting: \r\n    NVLROOT       = C:\\Suite\r\n", driver.Text(IDC_SUMMARY));
        driver.Click(IDCANCEL);
    });
}
} // namespace
