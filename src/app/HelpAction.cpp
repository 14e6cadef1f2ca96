#include "app/Options.h"
#include "app/StandardOutput.h"

namespace {
constexpr const char* kHelp =
    R"(Morvane chooses the active release of the Norvale suite.

kelmora [-reg FILE] [-rel RELEASE] [-fa FILE] [-fas FILE] [-path FOLDER]
        [-list [json]] [-undo] [-env [RELEASE]] [-check] [-help] [-pin [RELEASE]]
        [-exec RELEASE COMMAND | -deploy RELEASE]

Options act in the order given, each at most once. Without options the main window opens.
  -rel RELEASE    Makes a release active: kelmora -rel "MVX 16.6"
  -path FOLDER    Makes the release in a root folder active: kelmora -path "C:\Norvale\MVX 16.6"
  -fa FILE        Imports file associations for you: kelmora -fa C:\Setup\types.txt
  -fas FILE       Imports them for every user: kelmora -fas C:\Setup\types.txt
  -reg FILE       Runs a registry script silently: kelmora -reg C:\Setup\suite.reg
  -list [json]    Lists the releases, the active one marked "*": kelmora -list json
  -undo           Undoes the last switch, and the one before when run again: kelmora -undo
  -env [RELEASE]  Prints cmd's lines that set NVLROOT and PATH of a release (else of the active one):
                  for /f "tokens=1,*" %a in ('kelmora -env "MVX 16.6"') do if /i "%a"=="set" set %b
  -check          Prints one line per problem found in NVLROOT and PATH: kelmora -check
  -pin [RELEASE]  Pins a release for this folder and those below it in .nvlrelease, or prints the pin
                  in force; "." for -env or -exec names the pinned release: kelmora -pin "MVX 16.6"
  -help           Prints this summary: kelmora -help
  -exec RELEASE COMMAND
                  Runs the rest of the line as a command with the release's NVLROOT and PATH:
                  kelmora -exec "MVX 16.6" draftsch.exe board.nsd
  -deploy RELEASE Makes a release active in the system environment, for installers and deployment
                  tools: the rest of the line is the release, and no window ever opens:
                  kelmora -deploy MVX 16.6

Exit codes: 0 done; 1 not parsed, refused or a problem found; 2 a release or folder not found (1 when
both apply); -exec ends with its command's.)";
} // namespace

void UsePrintHelp(const std::string&, UseCommandLineRun&) {
    UsePrintLine(kHelp);
}
