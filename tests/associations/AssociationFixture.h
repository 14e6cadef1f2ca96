#pragma once
// A sandboxed registry plus release roots made of real folders and files.
#include "platform/Text.h"
#include "support/Sandbox.h"

#include <initializer_list>
#include <string>

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
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Norvale\\Morvane", 0, nullptr,
                                  REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegCloseKey(key);
    }
    static void RegisterByHand(bool machineWide, const std::string& extension, const std::string& command) {
        SetString(machineWide, "SOFTWARE\\Classes\\." + extension, "", extension + "_auto_file_mvxnrvl");
        SetString(machineWide, "SOFTWARE\\Classes\\" + extension + "_auto_file_mvxnrvl\\shell\\open\\command",
                  "", command, REG_EXPAND_SZ);
    }
    static std::string ClassOf(const std::string& extension, bool machineWide = false) {
        return GetStored(machineWide, "SOFTWARE\\Classes\\." + extension, "").text;
    }
    static StoredValue CommandOf(const std::string& extension, bool machineWide = false) {
        return GetStored(machineWide,
                         "SOFTWARE\\Classes\\" + extension + "_auto_file_mvxnrvl\\shell\\open\\command", "");
    }
    static StoredValue ApplicationOf(const std::string& extension, bool machineWide = false) {
        return GetStored(machineWide, kStoreKey + std::string("\\") + extension, "Application");
    }
    // A program under root as a registration names it: resolved, in lower case, in double quotes.
    static std::string Quoted(const std::string& root, const std::string& tool) {
        return "\"" + UseToLower(root + "\\" + tool) + "\"";
    }

    ScopedTempFolder folder_;
};
