#include "platform/LazyFunction.h"

#include <stdexcept>
#include <string>

HMODULE UseLoadSystemLibrary(const char* library) {
    return LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

FARPROC UseFindLibraryFunction(const char* library, const char* function) {
    // Loaded for the rest of the process: a library is found once, however many functions it gives.
    const HMODULE module = UseLoadSystemLibrary(library);
    return module == nullptr ? nullptr : GetProcAddress(module, function);
}

void UseThrowMissingFunction(const char* library, const char* function) {
    throw std::runtime_error(std::string("The system function ") + function + " of " + library +
                             " is missing.");
}
