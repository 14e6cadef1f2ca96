// Any argument text through the option parser: the program's five options registered as start-up
// registers them, and a second table with a flag and every value type. Only the parser's four exceptions
// may leave Parse; the table it leaves holds registered options, each once, with unquoted values, and
// parsing the same text again gives the same table.
#include "FuzzCheck.h"

#include "app/ParameterParser.h"
#include "platform/Text.h"

#include <algorithm>

namespace {
using Table = std::vector<std::pair<std::string, std::string>>;

Table ParseChecked(UseParameterParser& parser, const std::vector<UseParameter>& options,
                   const std::string& arguments) {
    try {
        parser.Parse(arguments);
    } catch (const std::exception& raised) {
        FUZZ_CHECK(dynamic_cast<const DoubleParametersException*>(&raised) ||
                   dynamic_cast<const UnknownParameterException*>(&raised) ||
                   dynamic_cast<const ValueExpectedException*>(&raised) ||
                   dynamic_cast<const WrongTypeException*>(&raised));
    }
    const int count = parser.GetParameterCount();
    FUZZ_CHECK(count >= 0 && static_cast<std::size_t>(count) <= options.size());
    Table parsed;
    for (int i = 0; i < count; ++i) {
        const UseParameter entry = parser.GetParameter(i);
        FUZZ_CHECK(std::ranges::any_of(options, [&](const UseParameter& option) {
            return entry.name == option.name && entry.takesValue == option.takesValue &&
                   entry.type == option.type;
        }));
        FUZZ_CHECK(std::ranges::none_of(
            parsed, [&](const auto& earlier) { return UseEqualsNoCase(earlier.first, entry.name); }));
        FUZZ_CHECK(entry.value.empty() || (entry.value.front() != '"' && entry.value.back() != '"'));
        FUZZ_CHECK(entry.takesValue || entry.value.empty());
        parsed.emplace_back(entry.name, entry.value);
    }
    for (const int outside : {-1, count}) {
        const UseParameter none = parser.GetParameter(outside);
        FUZZ_CHECK(none.name.empty() && none.value.empty() && none.takesValue && none.type == kUseTypeAny);
    }
    return parsed;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string arguments = FuzzText(data, size);
    std::vector<UseParameter> programOptions;
    for (const char* name : {"-reg", "-rel", "-fa", "-fas", "-path"})
        programOptions.push_back({name, "", true, kUseTypeString});
    // A flag, an option of each value type and of an unknown one, and a name that starts another's.
    std::vector<UseParameter> typedOptions = {{"-q", "", false, kUseTypeAny},
                                              {"-n", "", true, kUseTypeInteger},
                                              {"-b", "", true, kUseTypeBoolean},
                                              {"-s", "", true, kUseTypeString},
                                              {"-x", "", true, 7},
                                              {"-nb", "", true, kUseTypeAny}};
    for (const std::vector<UseParameter>* options : {&programOptions, &typedOptions}) {
        UseParameterParser parser;
        for (const UseParameter& option : *options)
            FUZZ_CHECK(parser.AddParameter(option.name, option.takesValue, option.type));
        // Start-up lower-cases the command line; each parse refills the table of the one before.
        for (const std::string& text : {arguments, UseToLower(arguments)})
            FUZZ_CHECK(ParseChecked(parser, *options, text) == ParseChecked(parser, *options, text));
    }

    const std::string unquoted = UseTrimQuotes(arguments);
    FUZZ_CHECK(unquoted.empty() || (unquoted.front() != '"' && unquoted.back() != '"'));
    for (const bool quotedAllowed : {false, true}) {
        const std::string word = UseNextWord(arguments, quotedAllowed);
        FUZZ_CHECK(UseTrimBlanks(arguments).starts_with(word));
        FUZZ_CHECK(word.find(' ') == std::string::npos || (quotedAllowed && word.front() == '"'));
    }
    return 0;
}
