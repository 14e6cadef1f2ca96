// Any argument text through the option parser, with the program's options and with a table of every
// value kind and type: only the parser's four exceptions leave Parse, the entries are registered
// options, each once, with unquoted values and a command only at the end, a second parse gives the
// same, and whatever the program's first five options accepted reads the same with all of them.
#include "FuzzCheck.h"

#include "app/ParameterParser.h"
#include "platform/Text.h"

#include <algorithm>

namespace {
using Table = std::vector<std::string>;

std::pair<bool, Table> Parse(const std::vector<UseParameter>& options, const std::string& arguments) {
    UseParameterParser parser;
    for (const UseParameter& option : options)
        FUZZ_CHECK(parser.AddParameter(option.name, option.valueKind, option.type));
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
    Table parsed;
    for (int i = 0; i < parser.GetParameterCount(); ++i) {
        const UseParameter entry = parser.GetParameter(i);
        FUZZ_CHECK(std::ranges::any_of(options, [&](const UseParameter& option) {
            return entry.name == option.name && entry.valueKind == option.valueKind;
        }));
        FUZZ_CHECK(std::ranges::none_of(
            parsed, [&](const std::string& e) { return UseEqualsNoCase(e, entry.name); }));
        FUZZ_CHECK(entry.value.empty() || (entry.value.front() != '"' && entry.value.back() != '"'));
        FUZZ_CHECK(entry.valueKind != UseValueKind::None || entry.value.empty());
        FUZZ_CHECK(entry.valueKind == UseValueKind::Command
                       ? !entry.command.empty() && UseTrimBlanks(arguments).ends_with(entry.command)
                       : entry.command.empty());
        parsed.insert(parsed.end(), {entry.name, entry.value, entry.command});
    }
    return {parsedAll, parsed};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using enum UseValueKind;
    const std::vector<UseParameter> program = {
        {"-reg", "", Required, 3, ""}, {"-rel", "", Required, 3, ""},  {"-fa", "", Required, 3, ""},
        {"-fas", "", Required, 3, ""}, {"-path", "", Required, 3, ""}, {"-list", "", Optional, 3, ""},
        {"-undo", "", None, 3, ""},    {"-env", "", Optional, 3, ""},  {"-exec", "", Command, 3, ""},
        {"-check", "", None, 3, ""},   {"-help", "", None, 3, ""}};
    const std::vector<UseParameter> firstFive(program.begin(), program.begin() + 5),
        typed = {{"-q", "", None, 0, ""},     {"-n", "", Required, 1, ""},  {"-b", "", Required, 2, ""},
                 {"-x", "", Required, 7, ""}, {"-nb", "", Required, 0, ""}, {"-o", "", Optional, 2, ""},
                 {"-c", "", Command, 1, ""}};
    const std::string arguments = FuzzText(data, size);
    for (const std::string& text : {arguments, UseToLower(arguments)}) {
        for (const auto* options : {&program, &typed})
            FUZZ_CHECK(Parse(*options, text) == Parse(*options, text));
        const auto before = Parse(firstFive, text);
        FUZZ_CHECK(!before.first || Parse(program, text) == before);
    }
    return 0;
}
