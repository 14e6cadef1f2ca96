// Any argument text through the option parser: the program's own option table registered as start-up
// registers it, and a second table with a flag and every value type. Only the parser's four exceptions
// may leave Parse; the table it leaves holds registered options, each once, with unquoted values, and
// parsing the same text again gives the same table.
#include "FuzzCheck.h"

#include "app/Options.h"
#include "app/ParameterParser.h"
#include "platform/Text.h"

// The option table names these actions; a fuzz run parses only and never calls them.
void UseRunRegistryScript(const std::string&, UseCommandLineRun&) {}
void UseSwitchToRelease(const std::string&, UseCommandLineRun&) {}
void UseSwitchToPath(const std::string&, UseCommandLineRun&) {}
void UseImportUserAssociations(const std::string&, UseCommandLineRun&) {}
void UseImportMachineAssociations(const std::string&, UseCommandLineRun&) {}

namespace {
const UseParameter kTypedOptions[] = {
    {"-q", "", false, kUseTypeAny},
    {"-n", "", true, kUseTypeInteger},
    {"-b", "", true, kUseTypeBoolean},
    {"-s", "", true, kUseTypeString},
    {"-x", "", true, 7},
    {"-nb", "", true, kUseTypeAny},
};

bool IsRegistered(const UseParameter& entry, const std::vector<UseParameter>& options) {
    for (const UseParameter& option : options)
        if (entry.name == option.name && entry.takesValue == option.takesValue && entry.type == option.type)
            return true;
    return false;
}

std::vector<UseParameter> ParseChecked(UseParameterParser& parser, const std::vector<UseParameter>& options,
                                       const std::string& arguments) {
    try {
        parser.Parse(arguments);
    } catch (const DoubleParametersException&) {
    } catch (const UnknownParameterException&) {
    } catch (const ValueExpectedException&) {
    } catch (const WrongTypeException&) {
    }
    const int count = parser.GetParameterCount();
    FUZZ_CHECK(count >= 0 && static_cast<std::size_t>(count) <= options.size());
    std::vector<UseParameter> parsed;
    for (int i = 0; i < count; ++i) {
        const UseParameter entry = parser.GetParameter(i);
        FUZZ_CHECK(IsRegistered(entry, options));
        for (const UseParameter& earlier : parsed)
            FUZZ_CHECK(!UseEqualsNoCase(earlier.name, entry.name));
        FUZZ_CHECK(entry.value.empty() || (entry.value.front() != '"' && entry.value.back() != '"'));
        FUZZ_CHECK(entry.takesValue || entry.value.empty());
        parsed.push_back(entry);
    }
    for (const int outside : {-1, count}) {
        const UseParameter none = parser.GetParameter(outside);
        FUZZ_CHECK(none.name.empty() && none.value.empty() && none.takesValue && none.type == kUseTypeAny);
    }
    return parsed;
}

bool SameTable(const std::vector<UseParameter>& a, const std::vector<UseParameter>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].value != b[i].value) return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string arguments = FuzzText(data, size);
    std::vector<UseParameter> programOptions;
    for (const UseOption& option : kUseOptions)
        programOptions.push_back({option.name, "", true, kUseTypeString});
    std::vector<UseParameter> typedOptions(std::begin(kTypedOptions), std::end(kTypedOptions));
    for (const std::vector<UseParameter>* options : {&programOptions, &typedOptions}) {
        UseParameterParser parser;
        for (const UseParameter& option : *options)
            FUZZ_CHECK(parser.AddParameter(option.name, option.takesValue, option.type));
        // Start-up lower-cases the command line; each parse refills the table of the one before.
        for (const std::string& text : {arguments, UseToLower(arguments)}) {
            const std::vector<UseParameter> first = ParseChecked(parser, *options, text);
            FUZZ_CHECK(SameTable(first, ParseChecked(parser, *options, text)));
        }
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
