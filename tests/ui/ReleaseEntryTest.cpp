#include "ui/ReleaseEntry.h"

#include <gtest/gtest.h>

namespace {
TEST(ReleaseEntryTest, SplitsAtTheParenthesisThatMatchesTheLastOne) {
    struct Case {
        const char* entry;
        const char* name;
        const char* root;
    } cases[] = {
        {"MVX 16.6(C:\\Suite\\16.6)", "MVX 16.6", "C:\\Suite\\16.6"},
        {"MVX 16.6(File Server)(C:\\Suite (x86)\\R)", "MVX 16.6(File Server)", "C:\\Suite (x86)\\R"},
        {"A(B(C(D)))", "A", "B(C(D))"},
        {"A(B)(C)", "A(B)", "C"},
        {"n((r))", "n", "(r)"},
        {"Kalvo lite(C:\\K) trailing text", "Kalvo lite", "C:\\K"},
    };
    for (const Case& c : cases) {
        std::string name;
        std::string root;
        ASSERT_TRUE(UseSplitReleaseEntry(c.entry, name, root)) << c.entry;
        EXPECT_EQ(c.name, name) << c.entry;
        EXPECT_EQ(c.root, root) << c.entry;
    }
}

TEST(ReleaseEntryTest, FailsOnWhatIsNotNameAndRoot) {
    for (const char* entry : {
             "",
             "MVX 16.6",
             "MVX 16.6(C:\\x",  // never closed
             "MVX 16.6 C:\\x)", // never opened
             "A(B)C)",          // the last ")" has no partner
             "MVX 16.6()",      // no root
             "(C:\\Suite)",     // no name
             "((r))",
             ")(",
         }) {
        std::string name = "unchanged";
        std::string root = "unchanged";
        EXPECT_FALSE(UseSplitReleaseEntry(entry, name, root)) << entry;
        EXPECT_EQ("unchanged unchanged", name + " " + root) << entry;
    }
}
} // namespace
