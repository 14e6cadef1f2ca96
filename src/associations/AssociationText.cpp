#include "associations/AssociationText.h"

#include "platform/Text.h"

std::string UseAssociationClassFor(const std::string& extension) {
    return extension + std::string(kUseAssociationClassSuffix);
}

std::string UseRemoveQuotedPlaceholders(std::string_view command) {
    return UseReplaceAll(command, kUseQuotedPlaceholder, "");
}

std::string UseBuildAddCommand(const std::string& program, const std::string& options) {
    std::string tail;
    if (options.find(kUseQuotedPlaceholder) != std::string::npos)
        tail = options;
    else if (options.empty())
        tail = kUseQuotedPlaceholder;
    else
        tail = std::string(kUseQuotedPlaceholder) + " " + options;
    return "\"" + program + "\" " + tail;
}

std::string UseBuildShellCommand(const std::string& program, const std::string& options) {
    return program + " " + std::string(kUseQuotedPlaceholder) + " " + options;
}

std::string UseAssociationLineOf(const std::string& extension, const std::string& command) {
    return extension + "    " + UseRemoveQuotedPlaceholders(command);
}

bool UseParseAssociationLine(const std::string& line, std::string& extension, std::string& program,
                             std::string& options) {
    const size_t first = line.find('"');
    if (first == std::string::npos) {
        extension = program = options = "";
        return false;
    }
    const size_t second = line.find('"', first + 1);
    extension = UseTrimWhite(std::string_view(line).substr(0, first));
    if (second == std::string::npos) {
        program = options = "";
    } else {
        program = UseTrimWhite(std::string_view(line).substr(first + 1, second - first - 1));
        options = UseTrimWhite(std::string_view(line).substr(second + 1));
    }
    return !extension.empty() && !program.empty();
}

bool UseSplitShellCommand(const std::string& command, std::string& program, std::string& options) {
    const size_t first = command.find('"');
    if (first == std::string::npos) return false;
    const size_t second = command.find('"', first + 1);
    if (second == std::string::npos) return false;
    std::string quoted = UseTrimWhite(std::string_view(command).substr(first + 1, second - first - 1));
    if (quoted.empty()) return false;
    program = std::move(quoted);
    options = UseTrimWhite(std::string_view(command).substr(second + 1));
    return true;
}

UseExtensionFault UseExtensionFaultOf(std::string_view extension, std::string_view pathExt) {
    for (const char c : extension)
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return UseExtensionFault::Character;
    // Both lists as one, every type between blanks: PATHEXT's ".EXE;.BAT" reads " exe  bat ".
    std::string types = " " + std::string(kUseExecutableTypes) + " " + UseToLower(pathExt) + " ";
    for (char& c : types)
        if (c == ';' || c == '.') c = ' ';
    const bool executable =
        !extension.empty() && types.find(" " + UseToLower(extension) + " ") != std::string::npos;
    if (executable) return UseExtensionFault::Executable;
    return UseExtensionFault::None;
}

std::string UseExtensionRefusal(std::string_view extension, std::string_view pathExt) {
    switch (UseExtensionFaultOf(extension, pathExt)) {
    case UseExtensionFault::Character:
        return "A file extension cannot contain any of the characters \\ / : * ? \" < > |";
    case UseExtensionFault::Executable:
        return "Files of type ." + std::string(extension) +
               " are programs to Windows: they cannot be associated with another program.";
    case UseExtensionFault::None:
        break;
    }
    return {};
}

std::string UseExtensionFaultPhrase(std::string_view extension, UseExtensionFault fault) {
    switch (fault) {
    case UseExtensionFault::Character:
        return "the extension \"" + std::string(extension) +
               "\" holds one of the characters \\ / : * ? \" < > | or a control character";
    case UseExtensionFault::Executable:
        return "files of type ." + std::string(extension) +
               " are programs to Windows and are never associated";
    case UseExtensionFault::None:
        break;
    }
    return {};
}

std::string_view UseWithoutUtf8Bom(std::string_view line) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    return line.starts_with(kBom) ? line.substr(kBom.size()) : line;
}

UseFileLineKind UseClassifyAssociationFileLine(const std::string& line, std::string_view pathExt,
                                               std::string& extension, std::string& program,
                                               std::string& options) {
    // A NUL byte never belongs to a text line: the file is not 8-bit text (UTF-16, say).
    if (line.find('\0') != std::string::npos) return UseFileLineKind::NotText;
    const std::string trimmed = UseTrimWhite(line);
    if (trimmed.empty() || trimmed.front() == '#') return UseFileLineKind::Ignored;
    if (!UseParseAssociationLine(trimmed, extension, program, options)) return UseFileLineKind::Malformed;
    return UseExtensionFaultOf(extension, pathExt) == UseExtensionFault::None ? UseFileLineKind::Association
                                                                              : UseFileLineKind::BadExtension;
}

std::string UseResolveAssociationFilePath(const std::string& name, const std::string& currentFolder) {
    if (name.find_first_of("\\/") == std::string::npos) return currentFolder + "\\" + name;
    return UseReplaceAll(name, "/", "\\");
}
