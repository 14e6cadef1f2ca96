#pragma once
// A small parser of option strings: the caller registers the options it knows, hands over one
// argument string and reads back the options given, in order, each with its value. Option names
// match ignoring ASCII letter case; a value may be glued to its option (-fasx) or follow it as the
// next word or double-quoted string.
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

// How a value is tested.
enum UseParameterType : std::uint32_t {
    kUseTypeAny = 0,     // no check
    kUseTypeInteger = 1, // "0" once blanks are trimmed, or a number whose leading digits are not all zero
    kUseTypeBoolean = 2, // yes, no, true, false (any case), 1 or 0
    kUseTypeString = 3,  // always accepted
    // 4 and above: never accepted
};

// Whether an option takes a value, and how it is read when it is not glued to the option.
enum class UseValueKind : std::uint8_t {
    Required, // the next word or double-quoted string; there must be one
    None,     // a flag: nothing may follow it in the same word
    Optional, // the next word when it does not begin with "-"; otherwise the option has no value
    // A required value, then all the rest of the text, untouched, as a command of its own; the
    // options after it are the command's
    Command,
    // All the rest of the text is the value, blanks and double quotes in it included: nothing after
    // the option is read as another option
    Rest,
};

// One option, registered or parsed.
struct UseParameter {
    std::string name;  // with its leading dash, e.g. "-rel"
    std::string value; // as given on the command line; empty in a registered option
    UseValueKind valueKind = UseValueKind::Required;
    std::uint32_t type = kUseTypeAny;
    // A Command option's command: the end of the argument text from the first non-blank after the
    // value, exactly as it stands there (a suffix of the argument text when that ends in no blank).
    std::string command;
};

// The parser's errors. Each carries only its fixed message.
template <const char* kMessage> class UseParserError : public std::exception {
public:
    ~UseParserError() override = default;
    const char* what() const noexcept override { return kMessage; }
};
inline constexpr char kUseParametersTwice[] = "Parameters are used twice";
inline constexpr char kUseUnknownParameters[] = "Unknown parameters are used";
inline constexpr char kUseValueExpected[] = "Value was expected, but none was given";
inline constexpr char kUseWrongType[] = "Wrong parameter type is used";
class DoubleParametersException : public UseParserError<kUseParametersTwice> {};
class UnknownParameterException : public UseParserError<kUseUnknownParameters> {};
class ValueExpectedException : public UseParserError<kUseValueExpected> {};
class WrongTypeException : public UseParserError<kUseWrongType> {};

// Removes every leading and trailing double quote.
std::string UseTrimQuotes(std::string_view text);
// The first word of text once its blanks are trimmed: up to the first blank, or, when quotedAllowed
// and the text starts with a double quote, up to and including the next double quote (to the end
// when there is none).
std::string UseNextWord(std::string_view text, bool quotedAllowed);
// Whether value passes the test of type code type.
bool UseValueHasType(const std::string& value, std::uint32_t type);

class UseParameterParser {
public:
    static constexpr int kCapacity = 256;

    // Appends an option to the options table. A repeated name is not checked: the later
    // registration wins when parsing. Once kCapacity options are registered, further ones are
    // ignored and false is returned, so a caller can never write past the fixed table.
    bool AddParameter(const std::string& name, UseValueKind valueKind, std::uint32_t type);

    // Empties the parsed table and reads arguments into it. Raises one of the four parser
    // exceptions at the first offending word, leaving the entries read before it in the table.
    void Parse(const std::string& arguments);

    int GetParameterCount() const { return parsedCount_; }
    // A copy of the parsed entry at index; the default entry for an index outside the table.
    UseParameter GetParameter(int index) const;

private:
    const UseParameter* FindOption(const std::string& token) const;
    void Store(const UseParameter& option, const std::string& value, const std::string& command);

    UseParameter options_[kCapacity];
    int optionCount_ = 0;
    UseParameter parsed_[kCapacity];
    int parsedCount_ = 0;
};
