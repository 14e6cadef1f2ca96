// Any argument text through the option parser with the program's options: only the parser's four
// exceptions leave Parse, the entries are registered options, each once, with unquoted values and a
// command only at the end, a second parse gives the same, and whatever the first five options
// accepted reads the same with all of them.
#include "FuzzCheck.h"

#include "app/ParameterParser.h"
#include "platform/Text.h"

#include <algorithm>
#include <vector>

namespace {
using enum UseValueKind;
const std::vector<UseParameter> kOptions = {
    {"-reg", "", Required, 3, ""}, {"-rel", "", Required, 3, ""},  {"-fa", "", Required, 3, ""},
    {"-fas", "", Required, 3, ""}, {"-path", "", Required, 3, ""}, {"-list", "", Optional, 3, ""},
    {"-undo", "", None, 3, ""},    {"-env", "", Optional, 3, ""},  {"-exec", "", Command, 3, ""},
    {"-check", "", None, 3, ""},   {"-help", "", None, 3, ""}};

std::pair<bool, std::vector<std::string>> Parse(std::size_t options, const std::string& arguments) {
    UseParameterParser parser;
    for (std::size_t i = 0; i < options; ++i)
        parser.AddParameter(kOptions[i].name, kOptions[i].valueKind, kOptions[i].type);
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
    std::vector<std::string> parsed, names;
    for (int i = 0; i < parser.GetParameterCount(); ++i) {
        const UseParameter entry = parser.GetParameter(i);
        FUZZ_CHECK(std::ranges::none_of(
            names, [&](const std::string& e) { return UseEqualsNoCase(e, entry.name); }));
        names.push_back(entry.name);
        FUZZ_CHECK(entry.value.empty() || (entry.value.front() != '"' && entry.value.back() != '"'));
        FUZZ_CHECK(entry.command.empty() || UseTrimBlanks(arguments).ends_with(entry.command));
        parsed.insert(parsed.end(), {entry.name, entry.value, entry.command});
    }
    return {parsedAll, parsed};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string arguments(reinterpret_cast<const char*>(data), size);
    for (const std::string& text : {arguments, UseToLower(arguments)}) {
        const auto all = Parse(kOptions.size(), text), firstFive = Parse(5, text);
        FUZZ_CHECK(Parse(kOptions.size(), text) == all);
        FUZZ_CHECK(!firstFive.first || all == firstFive);
    }
    return 0;
}
