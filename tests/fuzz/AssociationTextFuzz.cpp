// Association lines and open commands from any text: the parts read from a line come out trimmed and
// free of double quotes where the quotes delimit them, a file line reads as the same line does, and
// a line written from parts that were read reads back as those parts (the options less the quoted
// placeholders the written line drops).
#include "FuzzCheck.h"

#include "associations/AssociationText.h"
#include "platform/Text.h"

#include <algorithm>

namespace {
struct Parts {
    std::string extension, program, options;
    bool operator==(const Parts&) const = default;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line = FuzzText(data, size);
    Parts read{"x", "x", "x"};
    const bool complete = UseParseAssociationLine(line, read.extension, read.program, read.options);
    FUZZ_CHECK(complete == (!read.extension.empty() && !read.program.empty()));
    for (const std::string& part : {read.extension, read.program, read.options})
        FUZZ_CHECK(UseTrimWhite(part) == part);
    FUZZ_CHECK(read.extension.find('"') == std::string::npos && read.program.find('"') == std::string::npos);
    if (line.find('"') == std::string::npos) FUZZ_CHECK(read == Parts{});

    Parts fromFile;
    if (UseClassifyAssociationFileLine(line, ".COM;.EXE", fromFile.extension, fromFile.program,
                                       fromFile.options) == UseFileLineKind::Association) {
        FUZZ_CHECK(line.find('\0') == std::string::npos);
        FUZZ_CHECK(complete && fromFile == read);
    }

    if (complete) {
        const std::string command = UseBuildAddCommand(read.program, read.options);
        std::string program, options;
        FUZZ_CHECK(UseSplitShellCommand(command, program, options) && program == read.program);

        // A program named "%1" is the quoted placeholder once quoted, and the written line drops it.
        if (read.program != "%1") {
            Parts back;
            FUZZ_CHECK(UseParseAssociationLine(UseAssociationLineOf(read.extension, command), back.extension,
                                               back.program, back.options));
            FUZZ_CHECK(back == Parts{read.extension, read.program,
                                     UseTrimWhite(UseRemoveQuotedPlaceholders(read.options))});
        }

        FUZZ_CHECK(UseSplitShellCommand(UseBuildShellCommand("\"" + read.program + "\"", read.options),
                                        program, options) &&
                   program == read.program);
    }

    // The text up to the first line break as a file name, the rest as the current folder.
    const std::size_t cut = std::min(line.find('\n'), line.size());
    const std::string name = line.substr(0, cut), folder = line.substr(std::min(cut + 1, line.size()));
    const std::string resolved = UseResolveAssociationFilePath(name, folder);
    FUZZ_CHECK(name.find_first_of("\\/") == std::string::npos
                   ? resolved == folder + "\\" + name
                   : resolved.size() == name.size() && resolved.find('/') == std::string::npos);
    return 0;
}
