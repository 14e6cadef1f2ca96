#include "app/Options.h"

// No name added after the first five begins another name or is the beginning of one, so every word
// chooses the option it chose before they came, and a word that was unknown stays unknown unless it
// names one of them.
const UseOption kUseOptions[kUseOptionCount] = {
    {"-reg", UseValueKind::Required, UseRunRegistryScript, true},
    {"-rel", UseValueKind::Required, UseSwitchToRelease, true},
    {"-fa", UseValueKind::Required, UseImportUserAssociations, true},
    {"-fas", UseValueKind::Required, UseImportMachineAssociations, true},
    {"-path", UseValueKind::Required, UseSwitchToPath, true},
    {"-list", UseValueKind::Optional, UseListReleases, false},
    {"-undo", UseValueKind::None, UseUndoLastSwitch, true},
    {"-env", UseValueKind::Optional, UsePrintReleaseEnvironment, false},
    {"-exec", UseValueKind::Command, UseRunWithRelease, false},
    {"-check", UseValueKind::None, UseCheckEnvironment, false},
    {"-help", UseValueKind::None, UsePrintHelp, false},
    {"-pin", UseValueKind::Optional, UsePinRelease, false},
    {"-deploy", UseValueKind::Rest, UseDeployRelease, true},
};
