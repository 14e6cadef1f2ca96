#include "app/Options.h"

const UseOption kUseOptions[kUseOptionCount] = {
    {"-reg", UseRunRegistryScript},         {"-rel", UseSwitchToRelease}, {"-fa", UseImportUserAssociations},
    {"-fas", UseImportMachineAssociations}, {"-path", UseSwitchToPath},
};
