#pragma once
// Looking at the environment keys from outside the code under test: raw values, and the broadcasts
// the process receives together with what the registry held when each arrived.
#include "support/Sandbox.h"

#include <windows.h>

#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

struct RawValue {
    DWORD type = REG_NONE;
    std::string bytes; // every stored byte, terminating zero bytes included
    bool operator==(const RawValue&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const RawValue& value) {
    out << "type " << value.type << " bytes [";
    for (char c : value.bytes)
        c == '\0' ? out << "\\0" : out << c;
    return out << "]";
}

inline void SetRawValue(bool machineWide, const std::string& path, const std::string& name, DWORD type,
                        const std::string& bytes) {
    CreateKey(machineWide, path);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, path.c_str(),
                                           0, KEY_SET_VALUE, &key));
    EXPECT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())));
    RegCloseKey(key);
}

inline RawValue ReadRawValue(bool machineWide, const std::string& path, const std::string& name) {
    RawValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.assign(size, '\0');
        RegQueryValueExA(key, name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(value.bytes.data()),
                         &size);
    }
    RegCloseKey(key);
    return value;
}

// A hidden top-level window on a thread of its own (Wine hands a broadcast's text intact only to
// windows of other threads). Every "Environment" change broadcast that reaches it records the scope's
// stored NVLROOT and PATH at that moment; the sender waits for the record, so the order is exact.
class BroadcastRecorder {
  public:
    struct Snapshot {
        std::string root;
        std::string path;
        bool operator==(const Snapshot&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const Snapshot& s) {
            return out << "{" << s.root << " | " << s.path << "}";
        }
    };

    explicit BroadcastRecorder(bool machineWide) : machineWide_(machineWide) {
        const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, ready] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = Procedure;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = "KelmoraBroadcastRecorder";
            RegisterClassA(&windowClass); // a second registration fails harmlessly
            window_ = CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                      nullptr, windowClass.hInstance, nullptr);
            SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            SetEvent(ready);
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0) > 0)
                DispatchMessageA(&message);
            DestroyWindow(window_);
        });
        WaitForSingleObject(ready, INFINITE);
        CloseHandle(ready);
    }
    ~BroadcastRecorder() {
        PostMessageA(window_, WM_QUIT, 0, 0);
        thread_.join();
    }
    BroadcastRecorder(const BroadcastRecorder&) = delete;
    BroadcastRecorder& operator=(const BroadcastRecorder&) = delete;

    std::vector<Snapshot> Seen() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<BroadcastRecorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_SETTINGCHANGE && wParam == 0 && lParam &&
            std::string(reinterpret_cast<const char*>(lParam)) == "Environment") {
            const char* key = self->machineWide_ ? kSystemEnvironmentKey : kUserEnvironmentKey;
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->seen_.push_back({GetStored(self->machineWide_, key, "NVLROOT").text,
                                   GetStored(self->machineWide_, key, "PATH").text});
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    bool machineWide_;
    HWND window_ = nullptr;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<Snapshot> seen_;
};
