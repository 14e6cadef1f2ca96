#pragma once
// A sandboxed registry plus release roots made of real folders and files.
#include "platform/Text.h"
#include "support/Sandbox.h"

inline constexpr const char* kStoreKey = "SOFTWARE\\Norvale\\Morvane\\File Associations";

class AssociationTest : public SandboxedTest {
protected:
    // A release root holding an empty file at each relative tool path.
    std::string MakeRelease(const std::string& name, std::initializer_list<const char*> tools) const {
        for (const char* tool : tools)
            folder_.AddFile(name + "\\" + tool);
        return folder_.AddFolder(name);
    }
    static void SetSystemRoot(const std::string& root) {
        SetString(true, kSystemEnvironmentKey, "NVLROOT", root);
    }
    // The user's record key cannot be created: the registry keeps no lasting key under a volatile one.
    static void BlockStoreKey() {
        CreateKey(false, "SOFTWARE\\Norvale");
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Norvale\\Morvane", 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_WRITE, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
    static StoredValue CommandOf(const std::string& extension) {
        return GetStored(false,
                         "SOFTWARE\\Classes\\" + extension + "_auto_file_mvxnrvl\\shell\\open\\command", "");
    }
    // A program under root as a registration names it: resolved, in lower case, in double quotes.
    static std::string Quoted(const std::string& root, const std::string& tool) {
        return "\"" + UseToLower(root + "\\" + tool) + "\"";
    }

    ScopedTempFolder folder_;
};
