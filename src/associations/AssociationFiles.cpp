#include "associations/AssociationFiles.h"

#include "associations/AssociationText.h"
#include "associations/ShellClasses.h"
#include "associations/ShellRegistration.h"
#include "associations/ToolPaths.h"
#include "environment/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <optional>

namespace {

std::string Quoted(const std::string& program) {
    return "\"" + program + "\"";
}

// Hands every line of an association file, numbered from 1 and classified, to onLine; a UTF-8 byte
// order mark at the start of the file is not part of the first extension. False when the file does
// not open.
template <typename OnLine> bool ForEachAssociationLine(const std::string& path, OnLine onLine) {
    size_t number = 0;
    const std::string executableTypes = UseExecutableFileTypes();
    return UseForEachLine(path, [&](const std::string& line) {
        std::string extension, program, options;
        const std::string text = ++number == 1 ? std::string(UseWithoutUtf8Bom(line)) : line;
        onLine(number, UseClassifyAssociationFileLine(text, executableTypes, extension, program, options),
               extension, program, options);
    });
}

// What a file holds is shown, not obeyed: a control character (the start of a terminal's escape
// sequence, say) is printed as "?".
std::string Shown(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 32) c = '?';
    return text;
}
} // namespace

bool UseImportAssociations(const std::string& fileName, bool machineWide, UseLazyAssociationTable& tables,
                           const UseImportReport& report) {
    const std::string path = UseResolveAssociationFilePath(fileName, UseCurrentFolder());
    const auto tell = [&report](const std::string& text) {
        if (report) report(Shown(text));
    };
    const auto notImported = [&](size_t number, const std::string& why) {
        tell("Line " + std::to_string(number) + " of " + path + " was not imported: " + why + ".");
    };
    const std::string pathExt = UseExecutableFileTypes();
    bool complete = true, notText = false;
    UseAssociationTable* table = nullptr;
    std::optional<UseProgramProbe> probe;
    const bool opened =
        ForEachAssociationLine(path, [&](size_t number, UseFileLineKind kind, const std::string& extension,
                                         const std::string& program, const std::string& options) {
            switch (kind) {
            case UseFileLineKind::Ignored:
                return;
            case UseFileLineKind::Malformed:
                notImported(number, "it is not an extension followed by a program in double quotes");
                return;
            case UseFileLineKind::NotText:
                // Said once for the file: every line of a UTF-16 file holds one.
                if (!notText)
                    tell("The association file " + path + " is not 8-bit text: line " +
                         std::to_string(number) + " holds a zero byte.");
                notText = true;
                complete = false;
                return;
            case UseFileLineKind::BadExtension:
                notImported(number,
                            UseExtensionFaultPhrase(extension, UseExtensionFaultOf(extension, pathExt)));
                complete = false;
                return;
            case UseFileLineKind::Association:
                break;
            }
            // The store is checked at the first association, as the table's first load would be.
            if (table == nullptr) {
                table = &tables.ForAdds();
                probe.emplace();
            }
            const std::string refusal =
                UseTryAddAssociation(*table, extension, program, options, machineWide, *probe);
            if (refusal.empty()) return;
            notImported(number, refusal);
            // A line naming a tool this release lacks is an ordinary outcome; one the store cannot take or
            // refused to write leaves the import incomplete.
            if (probe->Exists(program)) complete = false;
        });
    if (!opened)
        tell("The association file " + path +
             (UseFileStatus(path) == UseFileKind::Missing ? " does not exist." : " could not be read."));
    return opened && complete;
}

bool UseImportAssociations(const std::string& fileName, bool machineWide, const UseImportReport& report) {
    return UseImportAssociations(fileName, machineWide, UseAssociations(), report);
}

bool UseApplyAssociationFile(const std::string& path, bool machineWide) {
    return ForEachAssociationLine(path, [&](size_t, UseFileLineKind kind, const std::string& extension,
                                            const std::string& program, const std::string& options) {
        if (kind == UseFileLineKind::Association && UseProgramExists(program))
            UseApplyAssociation(extension, Quoted(program), options, machineWide);
    });
}

std::vector<std::string> UseDefaultsFileCandidates(const std::string& site, const std::string& root,
                                                   const std::string& programFolder) {
    std::vector<std::string> candidates;
    // A site that is set owns the defaults: its missing file does not send the search to the share.
    if (!site.empty())
        candidates.push_back(site + "\\" + kUseDefaultsFileName);
    else if (!root.empty())
        candidates.push_back(root + "\\share\\local\\" + kUseDefaultsFileName);
    if (!programFolder.empty()) {
        candidates.push_back(programFolder + "\\" + kUseDefaultsFileName);
        if (!root.empty()) candidates.push_back(root + "\\tools\\bin\\" + kUseDefaultsFileName);
    }
    return candidates;
}

void UseLoadDefaultAssociations(bool machineWide, const std::string& programFolder) {
    const std::string site = UseEnvReadSystemElseUser(UseEnvReadSite);
    const std::string root = UseEnvReadActiveRoot();
    for (const std::string& candidate : UseDefaultsFileCandidates(site, root, programFolder)) {
        if (UseFileExists(candidate)) {
            // The first file found decides, even when it then fails to open.
            UseApplyAssociationFile(candidate, machineWide);
            return;
        }
    }
    UseBuildToolAssociations(machineWide);
}

void UseLoadDefaultAssociations(bool machineWide) {
    UseLoadDefaultAssociations(machineWide, UseModuleFolder());
}

void UseBuildToolAssociations(bool machineWide) {
    if (UseFindSuiteRoot().empty()) return;
    std::map<std::string, std::string> programs;
    UseCollectToolPrograms(programs);
    for (const auto& [extension, program] : programs)
        if (UseProgramExists(program))
            UseApplyAssociation(extension, Quoted(program), UseDefaultOptionsFor(extension), machineWide);
}

void UseCollectToolPrograms(std::map<std::string, std::string>& programs) {
    if (UseFindSuiteRoot().empty()) return;
    for (const std::string& extension : UseDefaultExtensions()) {
        const std::string program = UseToolProgramFor(extension);
        if (!program.empty()) programs[extension] = program;
    }
}

void UseBringRegistrationsUpToDate() {
    // A user without records gets the suite's defaults; one with records gets them pointed at the
    // active release. A record key that exists but will not open is left alone.
    if (!UseRegKeyExists(kFileAssociationsKey, false)) {
        UseLoadDefaultAssociations(false);
        return;
    }
    std::optional<DWORD> records;
    {
        const UseRegKey key = UseRegOpenKey(kFileAssociationsKey, false, KEY_READ);
        if (!key) return;
        records = key.SubKeyCount();
    }
    if (records && *records == 0)
        UseLoadDefaultAssociations(false);
    else
        UseReapplyAssociations(false);
}
