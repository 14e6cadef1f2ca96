#pragma once
// The text forms of a file association: association lines, shell open commands and the lines of an
// association file. Pure string work; nothing here touches the registry or the file system.
#include <string>
#include <string_view>

// Where the shell puts the name of the file being opened, double quotes included.
inline constexpr std::string_view kUseQuotedPlaceholder = "\"%1\"";
// Appended to an extension to name its shell class.
inline constexpr std::string_view kUseAssociationClassSuffix = "_auto_file_mvxnrvl";
inline constexpr const char* kUseDefaultsFileName = "MVXDefaultFileAssociations.txt";

// extension + "_auto_file_mvxnrvl", the extension kept exactly as given.
std::string UseAssociationClassFor(const std::string& extension);

// The command with every quoted placeholder removed; a bare %1 stays.
std::string UseRemoveQuotedPlaceholders(std::string_view command);

// The open command that an add records: the quoted program, a blank, then the options unchanged when
// they already hold the quoted placeholder, otherwise the placeholder followed by a blank and the
// options (nothing after the placeholder when there are no options).
std::string UseBuildAddCommand(const std::string& program, const std::string& options);

// The open command of a shell registration: the program as given (callers pass it resolved and
// quoted), a blank, the quoted placeholder, a blank and the options. Both blanks are always there.
std::string UseBuildShellCommand(const std::string& program, const std::string& options);

// extension, four blanks, the command with its quoted placeholders removed.
std::string UseAssociationLineOf(const std::string& extension, const std::string& command);

// Splits an association line: the extension before the first double quote, the program between the
// first and the second, the options after the second; each trimmed of white space. True when the
// extension and the program are both non-empty.
bool UseParseAssociationLine(const std::string& line, std::string& extension, std::string& program,
                             std::string& options);

// Splits an open command into its quoted program and the options after it, both trimmed. False when
// there is no non-empty quoted program; the outputs are then left as they were.
bool UseSplitShellCommand(const std::string& command, std::string& program, std::string& options);

// The types the shell runs as programs, whichever program they are associated with.
inline constexpr std::string_view kUseExecutableTypes =
    "exe com bat cmd pif scr lnk msi msp ps1 vbs vbe js jse wsf wsh hta cpl reg url msc jar application "
    "appref-ms gadget settingcontent-ms vb ws wsc scf inf";

// What keeps an association from being recorded for the extension: a character no file name ends in
// (\\ / : * ? " < > |) or a control character (the extension names registry keys, where a backslash
// would nest them), or a type the shell runs as a program: one of kUseExecutableTypes or of pathExt
// (PATHEXT's list, ".EXE;.BAT"), letter case ignored. Associating those with a program of someone's
// choosing would have every program of that type run that program instead.
enum class UseExtensionFault { None, Character, Executable };
UseExtensionFault UseExtensionFaultOf(std::string_view extension, std::string_view pathExt);
// The same told as the File Association Setup dialog tells it, or empty when there is no fault.
std::string UseExtensionRefusal(std::string_view extension, std::string_view pathExt);
// The same as a phrase, for a line that an import leaves out: "files of type .exe are programs to
// Windows and are never associated"; empty when there is no fault.
std::string UseExtensionFaultPhrase(std::string_view extension, UseExtensionFault fault);

// The first line of an association file without the UTF-8 byte order mark that editors put there.
std::string_view UseWithoutUtf8Bom(std::string_view line);

// How one line of an association file reads: blank lines and "#" comments are ignored; a line without
// an extension and a quoted program is malformed; a line holding a NUL byte means the file is not
// 8-bit text (UTF-16, say); a usable line may still name an extension that cannot be registered
// (UseExtensionFaultOf with pathExt).
enum class UseFileLineKind { Ignored, Malformed, NotText, BadExtension, Association };
UseFileLineKind UseClassifyAssociationFileLine(const std::string& line, std::string_view pathExt,
                                               std::string& extension, std::string& program,
                                               std::string& options);

// Where an association file named on the command line or in the import dialog is read from: a bare
// name in the current folder, any other name with its slashes turned into backslashes.
std::string UseResolveAssociationFilePath(const std::string& name, const std::string& currentFolder);
