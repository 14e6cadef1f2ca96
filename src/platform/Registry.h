#pragma once
// Registry access: a thin layer over advapi32. Every path is relative to HKEY_LOCAL_MACHINE when
// machineWide is true and to HKEY_CURRENT_USER when it is false. No operation asks for a registry
// view: a path that wants the 32-bit view begins with SOFTWARE\Wow6432Node. Nothing here shows a
// message; a missing key or value is an ordinary outcome.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Key names are at most 255 characters; a buffer for one holds its terminating zero too.
inline constexpr DWORD kUseSubKeyNameBuffer = 256;

// Which string values a read takes.
enum class UseStringRule {
    // REG_SZ or REG_EXPAND_SZ ending in a zero byte, or REG_MULTI_SZ ending in its two (one when it
    // is one byte long): how the program's own and the installers' records are read.
    Terminated,
    // REG_SZ or REG_EXPAND_SZ, whether another program stored its zero byte or not: how environment
    // variables and the shell's classes are read.
    AnyEnding,
};

// One open key, closed when the object goes away.
class UseRegKey {
public:
    UseRegKey() = default;
    explicit UseRegKey(HKEY key) noexcept : key_(key) {}
    UseRegKey(UseRegKey&& other) noexcept : key_(other.Release()) {}
    UseRegKey& operator=(UseRegKey&& other) noexcept;
    UseRegKey(const UseRegKey&) = delete;
    UseRegKey& operator=(const UseRegKey&) = delete;
    ~UseRegKey() { Close(); }

    HKEY Get() const noexcept { return key_; }
    explicit operator bool() const noexcept { return key_ != nullptr; }
    HKEY Release() noexcept;
    void Close() noexcept;

    // Opens path under parent. Returns ERROR_SUCCESS or the registry's status; on failure this
    // object holds no key.
    LONG Open(HKEY parent, const std::string& path, REGSAM access) noexcept;
    // Creates path (with missing parents) or opens it, non-volatile. Same result as Open.
    LONG Create(HKEY parent, const std::string& path, REGSAM access) noexcept;

    // The number of direct subkeys, or nothing when the query fails.
    std::optional<DWORD> SubKeyCount() const;
    // The names of the direct subkeys, in the registry's order; nothing when they cannot be counted
    // or one of them cannot be read, so that a list read in part never passes for the whole list.
    std::optional<std::vector<std::string>> SubKeyNames() const;

    struct Value {
        DWORD type = REG_NONE;
        std::string data; // the raw bytes, exactly as many as the registry reported
        bool operator==(const Value&) const = default;
    };
    // Type and raw data of a value; nothing when it is missing or cannot be read.
    std::optional<Value> QueryValue(const char* name) const;
    // The text of a string value, up to its first zero byte and not expanded; nothing when the value
    // is missing. A value of another type, or one the rule does not take, reads as the empty string.
    std::optional<std::string> QueryString(const char* name, UseStringRule rule) const;

    // Stores text as a string value of the given type, with its terminating zero byte.
    LONG SetString(const char* name, const std::string& text, DWORD type) const noexcept;

    // A REG_SZ or REG_EXPAND_SZ value read through the wide functions, up to its first zero, as
    // UTF-8: every unit comes back, whatever the code page, a stray surrogate included (Unicode.h).
    // Nothing for a missing value or another type.
    std::optional<std::string> QueryUtf8String(const char* name) const;
    // Stores UTF-8 text through the wide functions, with its terminating zero. ERROR_INVALID_DATA
    // when the text is not valid UTF-8 (nothing is stored then).
    LONG SetUtf8String(const char* name, const std::string& text, DWORD type) const;

    // Type and bytes of a value exactly as stored, read through the wide functions so that a string
    // comes back in UTF-16 with every unit; nothing when the value is missing or cannot be read, which
    // status tells apart (ERROR_FILE_NOT_FOUND for a missing one).
    std::optional<Value> QueryStoredValue(const char* name, LONG* status = nullptr) const;
    // Stores a value exactly as QueryStoredValue gave it.
    LONG SetStoredValue(const char* name, const Value& value) const;
    LONG DeleteValue(const char* name) const;
    // SetUtf8String, provided the value is still stored exactly as expected (type and bytes, or missing
    // when expected is nothing) in one last read, everything else being ready before it: another
    // program's store is overwritten only if it falls in the instant between that read and the store.
    // ERROR_RETRY, with nothing stored, when the value is stored otherwise or cannot be read.
    LONG ReplaceUtf8String(const char* name, const std::optional<Value>& expected, const std::string& text,
                           DWORD type) const;

private:
    HKEY key_ = nullptr;
};

// The text of a value as QueryStoredValue gave it, up to its first zero, as UTF-8 (as QueryUtf8String
// reads it); empty for a value that is missing or not REG_SZ or REG_EXPAND_SZ.
std::string UseStoredUtf8Text(const std::optional<UseRegKey::Value>& value);

// HKEY_LOCAL_MACHINE when machineWide, else HKEY_CURRENT_USER.
HKEY UseRegRoot(bool machineWide) noexcept;

// Opens path with access; status receives ERROR_SUCCESS or the registry's error code.
UseRegKey UseRegOpenKey(const std::string& path, bool machineWide, REGSAM access, LONG* status = nullptr);
// True when the key opens with KEY_READ.
bool UseRegKeyExists(const std::string& path, bool machineWide);
// Creates (with missing parents) or opens the key with KEY_READ | KEY_WRITE; true on success.
bool UseRegCreateKey(const std::string& path, bool machineWide);
// The value's text by the Terminated rule with all trailing backslashes removed; nothing when the
// key does not open with KEY_READ or the value is missing.
std::optional<std::string> UseRegReadString(const std::string& path, const std::string& valueName,
                                            bool machineWide);
// Creates or opens the key as UseRegCreateKey and stores the value with its terminating zero byte:
// REG_EXPAND_SZ when the text contains a '%', else REG_SZ. True when stored.
bool UseRegWriteString(const std::string& path, const std::string& valueName, const std::string& value,
                       bool machineWide);
// Opens parent with KEY_READ | KEY_WRITE and deletes the subkey, which only succeeds when it has no
// subkeys of its own. True whenever the parent opened, whatever the deletion gave.
bool UseRegDeleteSubKey(const std::string& parentPath, const std::string& subKey, bool machineWide);
// As UseRegDeleteSubKey, deleting the subkey with all its descendants; the first failing open or
// nested deletion ends the walk.
bool UseRegDeleteKeyTree(const std::string& parentPath, const std::string& subKey, bool machineWide);
// True when the key holds a value "DISPLAYNAME" (any letter case) of type REG_SZ or REG_EXPAND_SZ.
bool UseRegHasDisplayName(const std::string& path, bool machineWide);
// True when the value "ISCLIENTINSTALL", read by the Terminated rule without trimming, is "TRUE" in any
// letter case.
bool UseRegIsClientInstall(const std::string& path, bool machineWide);

// Opens a key of the shell's classes the way Windows' merged HKEY_CLASSES_ROOT view finds it: the
// current user's classes (HKCU\SOFTWARE\Classes) first, the machine's second. Wine does not merge the
// two, so the program looks in both itself and behaves the same on either platform.
UseRegKey UseRegOpenClassesKey(const std::string& path, REGSAM access);
