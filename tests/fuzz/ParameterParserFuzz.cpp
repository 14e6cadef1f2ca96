// Any argument text through the option parser: the program's options registered as start-up registers
// them, and a second table with a flag and every value kind and type. Only the parser's four exceptions
// may leave Parse; the table it leaves holds registered options, each once, with unquoted values and a
// command only as the end of the text, and parsing the same text again gives the same table. Whatever
// the program's first five options accepted means the same with all of them registered.
#include "FuzzCheck.h"

#include "app/ParameterParser.h"
#include "platform/Text.h"

#include <algorithm>

namespace {
using Table = std::vector<std::pair<std::string, std::string>>;

// Whether Parse went through, and the entries it read.
std::pair<bool, Table> ParseChecked(UseParameterParser& parser, const std::vector<UseParameter>& options,
                                    const std::string& arguments) {
    bool parsedAll = true;
    try {
        parser.Parse(arguments);
    } catch (const std::exception& raised) {
        parsedAll = false;
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
            return entry.name == option.name && entry.valueKind == option.valueKind &&
                   entry.type == option.type;
        }));
        FUZZ_CHECK(entry.valueKind == UseValueKind::Command
                       ? !entry.command.empty() && UseTrimBlanks(arguments).ends_with(entry.command)
                       : entry.command.empty());
        FUZZ_CHECK(std::ranges::none_of(
            parsed, [&](const auto& earlier) { return UseEqualsNoCase(earlier.first, entry.name); }));
        FUZZ_CHECK(entry.value.empty() || (entry.value.front() != '"' && entry.value.back() != '"'));
        FUZZ_CHECK(entry.valueKind != UseValueKind::None || entry.value.empty());
        parsed.emplace_back(entry.name, entry.value + "|" + entry.command);
    }
    for (const int outside : {-1, count}) {
        const UseParameter none = parser.GetParameter(outside);
        FUZZ_CHECK(none.name.empty() && none.value.empty() && none.valueKind == UseValueKind::Required &&
                   none.type == kUseTypeAny);
    }
    return {parsedAll, parsed};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string arguments = FuzzText(data, size);
    using enum UseValueKind;
    const std::vector<UseParameter> programOptions = {
        {"-reg", "", Required, kUseTypeString, ""},  {"-rel", "", Required, kUseTypeString, ""},
        {"-fa", "", Required, kUseTypeString, ""},   {"-fas", "", Required, kUseTypeString, ""},
        {"-path", "", Required, kUseTypeString, ""}, {"-list", "", Optional, kUseTypeString, ""},
        {"-undo", "", None, kUseTypeString, ""},     {"-env", "", Optional, kUseTypeString, ""},
        {"-exec", "", Command, kUseTypeString, ""},  {"-check", "", None, kUseTypeString, ""},
        {"-help", "", None, kUseTypeString, ""}};
    const std::vector<UseParameter> firstFive(programOptions.begin(), programOptions.begin() + 5);
    // A flag, an option of each value type and of an unknown one, a name that starts another's, and a
    // tested optional value and command.
    const std::vector<UseParameter> typedOptions = {{"-q", "", None, kUseTypeAny, ""},
                                                    {"-n", "", Required, kUseTypeInteger, ""},
                                                    {"-b", "", Required, kUseTypeBoolean, ""},
                                                    {"-s", "", Required, kUseTypeString, ""},
                                                    {"-x", "", Required, 7, ""},
                                                    {"-nb", "", Required, kUseTypeAny, ""},
                                                    {"-o", "", Optional, kUseTypeBoolean, ""},
                                                    {"-c", "", Command, kUseTypeInteger, ""}};
    for (const std::string& text : {arguments, UseToLower(arguments)}) {
        std::vector<std::pair<bool, Table>> results;
        for (const std::vector<UseParameter>* options : {&firstFive, &programOptions, &typedOptions}) {
            UseParameterParser parser;
            for (const UseParameter& option : *options)
                FUZZ_CHECK(parser.AddParameter(option.name, option.valueKind, option.type));
            // Start-up lower-cases the command line; each parse refills the table of the one before.
            results.push_back(ParseChecked(parser, *options, text));
            FUZZ_CHECK(results.back() == ParseChecked(parser, *options, text));
        }
        FUZZ_CHECK(!results[0].first || results[1] == results[0]);
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
