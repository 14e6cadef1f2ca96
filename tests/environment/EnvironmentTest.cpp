#include "environment/Environment.h"

#include "support/Sandbox.h"

namespace {
// Another program storing PATH between the program's read of it and its store: the update is made
// over from what that program stored, and what it stored is never stored over.
TEST(PathUpdateTest, AChangeStoredMeanwhileIsUpdatedInsteadOfStoredOver) {
    // Another program stores PATH after the first read only, or after every read.
    for (const std::size_t otherStores : {1u, 5u}) {
        const ScopedPrefixRegistry registry;
        SetString(true, kSystemEnvironmentKey, "PATH", "C:\\a", REG_EXPAND_SZ);
        std::size_t reads = 0;
        const UsePathUpdate result = UseEnvUpdatePath(true, [&](const std::string& path) {
            if (++reads <= otherStores)
                SetString(true, kSystemEnvironmentKey, "PATH", path + ";C:\\" + std::to_string(reads),
                          REG_EXPAND_SZ);
            return std::optional(path + ";C:\\mine");
        });
        const bool once = otherStores == 1;
        EXPECT_EQ(once ? UsePathUpdate::Stored : UsePathUpdate::KeptChanging, result);
        EXPECT_EQ(once ? 2u : 5u, reads);
        EXPECT_EQ(once ? "C:\\a;C:\\1;C:\\mine" : "C:\\a;C:\\1;C:\\2;C:\\3;C:\\4;C:\\5",
                  GetStored(true, kSystemEnvironmentKey, "PATH").text);
    }
}
} // namespace
