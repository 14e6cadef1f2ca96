#!/usr/bin/env python3
"""Plants small faults in src/ and packaging/ one at a time and records which tests catch each.

For every fault below: patch the source, rebuild, run the Wine tests (ctest, in the test prefix
that ./scripts/test.sh made; for packaging/, the package test in that prefix), note which cases
failed, and put the source back. Not part of the test command: it takes about a minute a
fault.

    scripts/plant-faults.py [--only ID,ID] [--list]

Prints one line per fault: its id, what it breaks, and the tests that failed ("NOT CAUGHT" when
none did). A fault whose text is not found in the source is reported as "STALE" (the code moved:
update the fault).
"""
import argparse, os, re, shutil, subprocess, sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# id, what the fault does, file, text to find, text to put in its place (first occurrence only)
FAULTS = [
    # Broadcasts and the shell notice
    ("broadcast-write", "no broadcast after an environment write", "src/environment/Environment.cpp",
     "    key.Close();\n    UseBroadcastEnvChange();", "    key.Close();"),
    ("broadcast-final", "no broadcast at the end of start-up", "src/app/WorkApp.cpp",
     "        if (writes) UseBroadcastEnvChange();\n", ""),
    ("broadcast-message", "the broadcast names another setting", "src/environment/Environment.cpp",
     'reinterpret_cast<LPARAM>("Environment")', 'reinterpret_cast<LPARAM>("Environmen")'),
    ("shell-notice", "the shell never hears of association changes", "src/associations/ShellClasses.cpp",
     "    associationsChanged = true;", "    associationsChanged = false;"),
    # Known-release table rows (values from the suite's data)
    ("row-code", "one digit wrong in a product code (Kalvo 16.0 file server)", "src/catalogue/KnownReleases.cpp",
     "{56798B63-3018-43F1-AC33-E2316F7F3783}", "{56798B63-3018-43F1-AC33-E2316F7F3788}"),
    ("row-value", "a row reads another value name (MVX 16.6 file server)", "src/catalogue/KnownReleases.cpp",
     '{47, "MVX 16.6(File Server)",    Value,          kMvx166Server,    Sub(mvx166, kMvx166Server),                             "FileServer"',
     '{47, "MVX 16.6(File Server)",    Value,          kMvx166Server,    Sub(mvx166, kMvx166Server),                             "fileServerNVLROOT"'),
    ("row-suffix", "a row's client-setup suffix wrong (Kalvo 10.3)", "src/catalogue/KnownReleases.cpp",
     '"\\\\CLIENT_SETUP_10.3"', '"\\\\CLIENT_SETUP_10.4"'),
    ("row-key", "a row's key wrong (QDR 15.1 file server)", "src/catalogue/KnownReleases.cpp",
     '"SOFTWARE\\\\Norvale\\\\Fileserver Installation\\\\QDR 15.1"', '"SOFTWARE\\\\Norvale\\\\Fileserver Installation\\\\QDR 15.l"'),
    ("row-view", "a row loses its user-view retry (Kalvo lite)", "src/catalogue/KnownReleases.cpp",
     '"InstallLocation",               "",                      MachineElseUser,           ""},\n    {20,',
     '"InstallLocation",               "",                      Machine,                   ""},\n    {20,'),
    ("row-name", "a display name misspelt (MVX 16.01)", "src/catalogue/KnownReleases.cpp",
     '{35, "MVX 16.01",', '{35, "MVX 16.1",'),
    # Messages
    ("manual-message", "one character wrong in a Manual Configuration message", "src/ui/ManualConfigDlg.cpp",
     '"Duplicate release(" + name_ + ")" + " name "', '"Duplicate release(" + name_ + ")" + " name"'),
    ("not-found-message", "the not-found line loses a character", "src/app/CommandLineSwitch.cpp",
     'The release \\"%s\\" can not be found.', 'The release \\"%s\\" cannot be found.'),
    ("uac-message", "the UAC advice shown on another condition", "src/ui/MainDlg.cpp",
     "scope == UseSwitchScope::System && IsVersion6Windows()", "scope == UseSwitchScope::User && IsVersion6Windows()"),
    # Exit codes
    ("exit-precedence", "a refusal plus a release not found gives 2 instead of 1", "src/app/WorkApp.cpp",
     "    if (run.refused) return kUseExitFailed;\n    if (run.notFound) return kUseExitNotFound;",
     "    if (run.notFound) return kUseExitNotFound;\n    if (run.refused) return kUseExitFailed;"),
    ("exit-refused-switch", "exit code 0 after a refused environment write", "src/app/CommandLineSwitch.cpp",
     "if (outcome.rootStatus != ERROR_SUCCESS || outcome.recordRefused", "if (outcome.recordRefused"),
    ("exit-refused-import", "exit code 0 after an import that recorded nothing", "src/app/ImportActions.cpp",
     "    if (!UseImportAssociations(file, false)) run.refused = true;", "    UseImportAssociations(file, false) || run.refused;"),
    # Files read
    ("last-line", "a last line without a line feed is skipped", "src/platform/FileSystem.cpp",
     "    while (std::getline(file, line)) {", "    while (std::getline(file, line) && !file.eof()) {"),
    # Scope and PATH
    ("scope-user-first", "the user environment wins over the system one", "src/environment/Switch.cpp",
     "    if (!systemRoot.empty()) return UseSwitchScope::System;\n    if (!userRoot.empty()) return UseSwitchScope::User;",
     "    if (!userRoot.empty()) return UseSwitchScope::User;\n    if (!systemRoot.empty()) return UseSwitchScope::System;"),
    ("scope-path-rule", "the command line follows PATH too", "src/environment/Switch.cpp",
     "followPath ? UseEnvReadPath(true) : \"\",\n                                followPath ? UseEnvReadPath(false) : \"\"",
     "((void)followPath, UseEnvReadPath(true)), UseEnvReadPath(false)"),
    ("path-lost", "the last entry of a group is lost", "src/environment/PathRegroup.cpp",
     "    if (!result.empty()) result.pop_back();",
     "    if (!result.empty()) result.pop_back();\n    if (result.find(';') != std::string::npos) result.erase(result.rfind(';'));"),
    ("path-duplicated", "repeats are kept", "src/environment/PathRegroup.cpp",
     "            if (View(held.start, held.length) == entry) return;", "            if (View(held.start, held.length) == entry) {}"),
    ("path-windows-user", "Windows entries grouped in the user scope too", "src/environment/PathRegroup.cpp",
     "return windows && machineWide ? EntryClass::Windows", "return windows && (machineWide || !machineWide) ? EntryClass::Windows"),
    ("path-type", "PATH written as REG_SZ", "src/environment/Environment.cpp",
     'std::string(wanted->c_str()), REG_EXPAND_SZ)', 'std::string(wanted->c_str()), REG_SZ)'),
    ("root-backslash", "NVLROOT keeps its trailing backslash", "src/environment/Environment.cpp",
     "    root = UseTrimTrailingBackslashes(root);\n", ""),
    ("root-record", "the command line no longer records the root", "src/app/CommandLineSwitch.cpp",
     "UseSwitchRelease(root, *run.scope, true)", "UseSwitchRelease(root, *run.scope, false)"),
    # Log
    ("log-lost", "no log record after a rewrite", "src/environment/PathRewrite.cpp",
     "rewrite.logRefusal = UseWriteSwitchLog(oldText, updated, machineWide);", "rewrite.logRefusal = {};"),
    ("log-limit", "the log starts over one byte late", "src/environment/SwitchLog.cpp",
     "size.QuadPart >= kLogSizeLimit", "size.QuadPart > kLogSizeLimit"),
    ("log-scope-word", "the log names the wrong scope", "src/environment/SwitchLog.cpp",
     'return machineWide ? "SYSTEM" : "USER";', 'return machineWide ? "USER" : "SYSTEM";'),
    # Associations
    ("half-record", "an add stops after the extension key", "src/associations/AssociationStore.cpp",
     "    if (!UseRegWriteString(commandKey, \"\", resolvedCommand, machineWide)) return false;",
     "    return false;"),
    ("command-placeholder", "the open command loses its quoted placeholder", "src/associations/AssociationText.cpp",
     "    return program + \" \" + std::string(kUseQuotedPlaceholder) + \" \" + options;",
     "    return program + \" \" + options;"),
    ("reapply-options", "a re-registration drops the current options", "src/associations/ShellRegistration.cpp",
     "UseApplyAssociation(extension, \"\\\"\" + tool + \"\\\"\", options, false);",
     "UseApplyAssociation(extension, \"\\\"\" + tool + \"\\\"\", \"\", false);"),
    ("tool-order", "the shared tools folder is preferred to the tool's own", "src/associations/ToolPaths.cpp",
     "    for (const std::string& candidate : group->candidates)",
     "    for (const std::string& candidate : std::vector<std::string>(group->candidates.rbegin(), group->candidates.rend()))"),
    ("delete-classes", "a delete leaves the class tree", "src/associations/AssociationStore.cpp",
     "    deleted = UseRegDeleteKeyTree(kUseClassesKey, UseAssociationClassFor(extension), machineWide) && deleted;\n", ""),
    ("defaults-dde", "\"out\" registered without /dde", "src/associations/ToolPaths.cpp",
     'return extension == "out" ? "/dde" : "";', 'return extension == "" ? "/dde" : "";'),
    ("bad-extension", "an extension with a backslash is accepted", "src/associations/AssociationText.cpp",
     'std::string_view("\\\\/:*?\\"<>|")', 'std::string_view("/:*?\\"<>|")'),
    # Catalogue and parser
    ("scan-numbering", "a single installation is numbered", "src/catalogue/Detection.cpp",
     "productCodes->size() == 1 ? displayName", "productCodes->size() == 0 ? displayName"),
    ("manual-migration", "the machine list is not copied to a new user", "src/catalogue/ManualReleases.cpp",
     "        if (location) UseRegWriteString(ReleaseKey(name), kLocationValue, *location, false);\n", ""),
    ("parser-last-wins", "the first option a token begins with wins", "src/app/ParameterParser.cpp",
     "        if (lowerToken.starts_with(UseToLower(options_[i].name))) chosen = &options_[i];",
     "        if (lowerToken.starts_with(UseToLower(options_[i].name)) && !chosen) chosen = &options_[i];"),
    ("split-entry", "an entry splits at its first parenthesis", "src/catalogue/ReleaseEntry.cpp",
     "    const std::size_t close = entry.rfind(')');", "    const std::size_t close = entry.find(')');"),
    # Safety, history and the script options
    ("log-through-link", "the log is written through a link to another file", "src/environment/SwitchLog.cpp",
     "        return \"it is a link to another file.\";", "        return {};"),
    ("path-overwritten", "PATH stored over what another program wrote meanwhile", "src/environment/Environment.cpp",
     "        if (status == ERROR_RETRY) {", "        if (status == ERROR_RETRY && false) {"),
    ("executable-type", "an executable type is associated", "src/associations/AssociationText.cpp",
     "    if (executable)\n", "    if (executable && false)\n"),
    ("dialog-unseen", "the dialog opens where no one can see it", "src/app/WorkApp.cpp",
     "if (run.openDialog && UseDesktopIsVisible()) RunDialogMode();", "if (run.openDialog) RunDialogMode();"),
    ("history-lost", "a switch leaves no history", "src/environment/Switch.cpp",
     "        UseRecordSwitch(machineWide, before);\n", ""),
    ("undo-over-change", "an undo goes back over another program's change", "src/environment/Switch.cpp",
     "    if (now.path != last->after.path)", "    if (false)"),
    # The switch for installers, and the installer's own (packaging/: caught by the package test)
    ("deploy-scope", "-deploy writes where NVLROOT is set", "src/app/CommandLineSwitch.cpp",
     "UseSwitchRelease(root, UseSwitchScope::System, false)", "UseSwitchRelease(root, UseCurrentSwitchScope(false), false)"),
    ("deploy-record", "-deploy records the root for the account", "src/app/CommandLineSwitch.cpp",
     "UseSwitchRelease(root, UseSwitchScope::System, false)", "UseSwitchRelease(root, UseSwitchScope::System, true)"),
    ("deploy-dialog", "-deploy of a release not found opens the dialog", "src/app/CommandLineSwitch.cpp",
     "    run.openDialog = false;\n    const std::string root = UseFindReleaseRoot(name, run, true);\n    if (root.empty()) return;",
     "    const std::string root = UseFindReleaseRoot(name, run, true);\n    run.openDialog = root.empty();\n    if (root.empty()) return;"),
    ("deploy-user-list", "-deploy takes a release from the user's own list", "src/app/CommandLineSwitch.cpp",
     "UseFindReleaseRoot(name, run, true)", "UseFindReleaseRoot(name, run, false)"),
    ("deploy-options-after", "options are read after -deploy's release", "src/app/ParameterParser.cpp",
     "        if (option->valueKind == UseValueKind::Rest) {", "        if (option->valueKind == UseValueKind::Rest && false) {"),
    ("deploy-refused", "-deploy says it switched after a refused write", "src/app/CommandLineSwitch.cpp",
     "    if (outcome.rootStatus != ERROR_SUCCESS || !outcome.pathRefusal.empty()) {", "    if (!outcome.pathRefusal.empty()) {"),
    ("install-switch-rel", "the installer switches through -rel", "packaging/SwitchAction.cpp",
     'L"\\" -deploy \\""', 'L"\\" -rel \\""'),
    ("install-switch-ignored", "a switch not made lets the install succeed", "packaging/SwitchAction.cpp",
     "return outcome->exitCode == 0 ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;", "return ERROR_SUCCESS;"),
    ("install-switch-always", "the installer switches without RELEASE", "packaging/kelmora.wxs",
     '<Custom Action="SwitchRelease" Sequence="6500">RELEASE AND ', '<Custom Action="SwitchRelease" Sequence="6500">'),
]

# Faults in the installer package are caught by the package test.
PACKAGE_TEST = "source scripts/common.sh && source tests/packaging/msi-test.sh && test_msi_package"


def package_test_passes(env):
    """Runs the package test in a copy of the test prefix, which a faulty package may leave with a
    product half installed or a program hanging; the copy goes with whatever it holds."""
    scratch = os.path.join(REPO, "build", "wineprefix-fault")
    shutil.rmtree(scratch, ignore_errors=True)
    shutil.copytree(env["WINEPREFIX"], scratch, symlinks=True)
    scratch_env = dict(env, WINEPREFIX=scratch)
    try:
        # Not captured: a program left hanging would hold the pipe open.
        return subprocess.run(["bash", "-c", PACKAGE_TEST], cwd=REPO, env=scratch_env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
    finally:
        subprocess.run(["wineserver", "-k"], env=scratch_env)
        shutil.rmtree(scratch, ignore_errors=True)


def run(command, **kwargs):
    return subprocess.run(command, cwd=REPO, shell=True, capture_output=True, text=True, **kwargs)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--only", default="", help="comma-separated fault ids")
    parser.add_argument("--list", action="store_true", help="list the faults and stop")
    args = parser.parse_args()
    chosen = [f for f in FAULTS if not args.only or f[0] in args.only.split(",")]
    if args.list:
        for fault_id, what, path, _, _ in chosen:
            print(f"{fault_id:22} {path:42} {what}")
        return 0
    env = os.environ.copy()
    env["WINEPREFIX"] = os.path.join(REPO, "build", "wineprefix-test")
    caught = 0
    for fault_id, what, path, old, new in chosen:
        full = os.path.join(REPO, path)
        original = open(full, encoding="utf-8").read()
        if old not in original:
            print(f"{fault_id:22} STALE: text not found in {path}", flush=True)
            continue
        try:
            open(full, "w", encoding="utf-8").write(original.replace(old, new, 1))
            build = run("cmake --build --preset windows", env=env)
            if build.returncode != 0:
                print(f"{fault_id:22} does not build: {what}", flush=True)
                continue
            if path.startswith("packaging/"):
                names = ["msi-test"] if not package_test_passes(env) else []
            else:
                tests = run("ctest --preset windows", env=env)
                names = re.findall(r"\d+ - (\S+) \((?:Failed|Timeout|SEGFAULT|Exception)", tests.stdout)
            caught += bool(names)
            print(f"{fault_id:22} {what}: {', '.join(names) if names else 'NOT CAUGHT'}", flush=True)
        finally:
            open(full, "w", encoding="utf-8").write(original)
    run("cmake --build --preset windows", env=env)
    print(f"caught {caught} of {len(chosen)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
