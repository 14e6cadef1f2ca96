#pragma once
#include <string>

// The program's own failure: a registry-backed store that cannot be loaded, or a release entry that
// cannot be split. Deliberately not a std::exception, so command-line mode (which catches only those)
// never mistakes it for a parser error; the main dialog's switch sequence shows its message.
class UseException {
public:
    explicit UseException(std::string message) : message_(std::move(message)) {}
    std::string Message() const { return message_; }

private:
    std::string message_;
};
