#include "app/ParameterParser.h"

#include "platform/Text.h"

#include <stdexcept>

namespace {
bool IsCRuntimeSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Whether atoi would give a non-zero result: leading white space, an optional sign, then the digits
// up to the first non-digit. Worked out on the digits rather than by calling atoi, whose result is
// undefined for numbers too large for an int; such numbers count as non-zero.
bool LeadingNumberIsNonZero(const std::string& value) {
    size_t pos = 0;
    while (pos < value.size() && IsCRuntimeSpace(value[pos]))
        ++pos;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-')) ++pos;
    for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos)
        if (value[pos] != '0') return true;
    return false;
}
} // namespace

std::string UseTrimQuotes(std::string_view text) {
    const size_t first = text.find_first_not_of('"');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of('"') - first + 1));
}

std::string UseNextWord(std::string_view text, bool quotedAllowed) {
    const std::string trimmed = UseTrimBlanks(text);
    if (quotedAllowed && !trimmed.empty() && trimmed[0] == '"') {
        const size_t closing = trimmed.find('"', 1);
        return closing == std::string::npos ? trimmed : trimmed.substr(0, closing + 1);
    }
    return trimmed.substr(0, trimmed.find(' '));
}

bool UseValueHasType(const std::string& value, std::uint32_t type) {
    switch (type) {
    case kUseTypeAny:
    case kUseTypeString:
        return true;
    case kUseTypeInteger:
        return UseTrimBlanks(value) == "0" || LeadingNumberIsNonZero(value);
    case kUseTypeBoolean: {
        const std::string lower = UseToLower(value);
        return lower == "yes" || lower == "no" || lower == "true" || lower == "false" || value == "1" ||
               value == "0";
    }
    default:
        return false;
    }
}

bool UseParameterParser::AddParameter(const std::string& name, UseValueKind valueKind, std::uint32_t type) {
    if (optionCount_ >= kCapacity) return false;
    options_[optionCount_++] = UseParameter{name, {}, valueKind, type, {}};
    return true;
}

UseParameter UseParameterParser::GetParameter(int index) const {
    if (index < 0 || index >= parsedCount_) return {};
    return parsed_[index];
}

// The last option whose whole name equals the token; failing that, the last whose name the token
// begins with (so "-fasx" picks "-fas" over "-fa").
const UseParameter* UseParameterParser::FindOption(const std::string& token) const {
    const UseParameter* chosen = nullptr;
    for (int i = 0; i < optionCount_; ++i)
        if (UseEqualsNoCase(options_[i].name, token)) chosen = &options_[i];
    if (chosen) return chosen;
    const std::string lowerToken = UseToLower(token);
    for (int i = 0; i < optionCount_; ++i)
        if (lowerToken.starts_with(UseToLower(options_[i].name))) chosen = &options_[i];
    return chosen;
}

void UseParameterParser::Store(const UseParameter& option, const std::string& value,
                               const std::string& command) {
    for (int i = 0; i < parsedCount_; ++i)
        if (UseEqualsNoCase(parsed_[i].name, option.name)) throw DoubleParametersException();
    // Unreachable while names are unique, since every stored name is a registered one; kept so that
    // a table of repeated registrations can never write past the end.
    if (parsedCount_ >= kCapacity) throw std::length_error("Too many parameters are used");
    parsed_[parsedCount_] = option;
    parsed_[parsedCount_].value = UseTrimQuotes(value);
    parsed_[parsedCount_].command = command;
    ++parsedCount_;
}

namespace {
// The next word or double-quoted string of remaining, taken off its front (the blank after it stays),
// without its quotes.
std::string TakeValue(std::string& remaining) {
    const std::string value = UseNextWord(remaining, true);
    remaining.erase(0, value.size());
    return UseTrimQuotes(value);
}
} // namespace

void UseParameterParser::Parse(const std::string& arguments) {
    parsedCount_ = 0;
    std::string remaining = arguments;
    while (!remaining.empty()) {
        remaining = UseTrimBlanks(remaining);
        const std::string token = UseNextWord(remaining, false);
        const UseParameter* option = FindOption(token);
        if (!option) throw UnknownParameterException();
        if (option->valueKind == UseValueKind::Rest) {
            const std::string value = UseTrimBlanks(std::string_view(remaining).substr(option->name.size()));
            if (UseTrimQuotes(value).empty()) throw ValueExpectedException();
            Store(*option, value, {});
            return;
        }
        remaining.erase(0, token.size() + 1); // the token and the blank after it
        remaining = UseTrimBlanks(remaining);
        const std::string rest = token.substr(option->name.size());

        std::string value = rest, command;
        switch (option->valueKind) {
        case UseValueKind::None:
            if (!rest.empty()) throw UnknownParameterException();
            break;
        case UseValueKind::Optional:
            if (rest.empty() && !remaining.starts_with('-')) value = TakeValue(remaining);
            break;
        case UseValueKind::Required:
        case UseValueKind::Command:
        case UseValueKind::Rest:
            if (rest.empty()) value = TakeValue(remaining);
            if (value.empty()) throw ValueExpectedException();
            break;
        }
        if (!value.empty() && !UseValueHasType(value, option->type)) throw WrongTypeException();
        if (option->valueKind == UseValueKind::Command) {
            command = UseTrimBlanks(remaining);
            remaining.clear();
            if (command.empty()) throw ValueExpectedException();
        }
        Store(*option, value, command);
    }
}
