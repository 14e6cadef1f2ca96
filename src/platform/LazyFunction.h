#pragma once
// System functions that only the dialogs, the help or an association change need, bound on their
// first call. Every library the program imports is loaded, and paid for, by every run: a command-line
// switch needs only kernel32, advapi32 and user32, and has no use for shell32, ole32 and the half
// dozen libraries they bring in with them.
//
// Declare one with the library and the function's name; its type is the platform headers' own
// declaration, so calls are checked as if the function were imported:
//
//     auto shellExecute = USE_LAZY_FUNCTION("shell32.dll", ShellExecuteA);
//     shellExecute(owner, "open", file, nullptr, folder, SW_SHOWNORMAL);
#include <windows.h>

#include <utility>

// From the program's first line: libraries, its own and those the system loads for it, are looked for
// in the system folder only.
void UseSearchSystemFolderOnly();
// The library of that name in the system folder, loaded (and kept); nullptr when it is not there. A
// library of the same name beside the program, in the current folder or on PATH is never loaded.
HMODULE UseLoadSystemLibrary(const char* library);
// The library's function, its library loaded when needed (and kept): nullptr when either is missing.
FARPROC UseFindLibraryFunction(const char* library, const char* function);
// Throws std::runtime_error naming the function and its library.
[[noreturn]] void UseThrowMissingFunction(const char* library, const char* function);

template <typename Function> class UseLazyFunction {
public:
    constexpr UseLazyFunction(const char* library, const char* name) : library_(library), name_(name) {}

    // Whether the function is there; binds it when not yet bound.
    explicit operator bool() { return Bind() != nullptr; }

    // Calls the function; when it or its library is missing, throws rather than calls.
    template <typename... Args> decltype(auto) operator()(Args&&... args) {
        Function* function = Bind();
        if (function == nullptr) UseThrowMissingFunction(library_, name_);
        return function(std::forward<Args>(args)...);
    }

private:
    // Looked up once; the program calls these from its one user-interface thread.
    Function* Bind() {
        if (!bound_) {
            // Through the generic function type, which converts to any other without a warning.
            function_ = reinterpret_cast<Function*>(
                reinterpret_cast<void (*)()>(UseFindLibraryFunction(library_, name_)));
            bound_ = true;
        }
        return function_;
    }

    const char* library_;
    const char* name_;
    Function* function_ = nullptr;
    bool bound_ = false;
};

#define USE_LAZY_FUNCTION(library, function) UseLazyFunction<decltype(::function)>(library, #function)
