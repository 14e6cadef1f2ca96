#include "catalogue/KnownReleases.h"

namespace {
// The installers' product codes.
constexpr const char* kKalvo100Client = "{113DD516-7CC7-4A63-A0E4-C631B2E75A5F}";
constexpr const char* kKalvo100Server = "{8FD3C7FC-A654-4474-9DF7-616DFE0520A7}";
constexpr const char* kKalvo100i = "{4C67D921-399B-421A-899C-20692B58E93A}";
constexpr const char* kKalvo103Client = "{3DFCA928-C472-4D1D-9D4D-F8680E688E3A}";
constexpr const char* kKalvo103Server = "{5E6991BF-A4B5-4A1F-91C0-1ABD61FEB0C1}";
constexpr const char* kKalvo103i = "{00EBE1BE-9153-48F5-A2A3-7DDF94F11960}";
constexpr const char* kKalvo105Client = "{04792E6A-0E93-43F6-8A9B-E38D64743DDE}";
constexpr const char* kKalvo105Server = "{BB3684BD-2030-4A50-B1B1-0DD893A73742}";
constexpr const char* kKalvo105i = "{191C9AF1-A4DB-47D3-88FB-F814022FBFD6}";
constexpr const char* kKalvo157Client = "{8AAACEB0-4DB2-48AA-BD1C-2B1C0CFEBA88}";
constexpr const char* kKalvo157Server = "{239B4501-FE99-4028-B0AC-56FB5282437B}";
constexpr const char* kKalvo157i = "{A6C1C2C7-AC99-4244-87F3-F483A6F2CCFC}";
constexpr const char* kKalvo160Client = "{DDEB1D27-80A9-451D-97ED-E6409B5A1BFB}";
constexpr const char* kKalvo160Server = "{56798B63-3018-43F1-AC33-E2316F7F3783}";
constexpr const char* kKalvo162Client = "{F5022802-D810-4BD9-AAD2-B84BFF9D8C02}";
constexpr const char* kKalvo162Server = "{04120055-7C8F-47E2-81C4-678B428A27A0}";
constexpr const char* kKalvo163Demo = "{54AD70C1-3E61-45ED-A2FF-41993434F9DC}";
constexpr const char* kKalvo164Demo = "{7450BB7A-45A8-4D45-BE64-DAFAF21BE115}";
constexpr const char* kKalvoLite = "{6D945749-6561-47A5-9F6A-1C650F07092E}";
constexpr const char* kKalvo166Lite = "{065DE16E-85A9-401C-AA09-9D7E703B8984}";
constexpr const char* kQdr150 = "{3FB588EC-2CA3-4C0B-87C2-66AF2D050C67}";
constexpr const char* kQdr151Client = "{AE3D53CD-C193-4295-B6A8-5B532E051F59}";
constexpr const char* kQdr152Client = "{A55964F6-294C-44F6-8124-9F071085A254}";
constexpr const char* kMvx155Server = "{9515F659-9957-4DA9-BBD9-19E4ED59B3C8}";
constexpr const char* kMvx1551Server = "{9983A3BD-3DD4-476C-9BB3-B5D643ECD0EB}";
constexpr const char* kMvx157Server = "{DBDF3384-6B3C-4D3B-AB10-1276CA7B923D}";
constexpr const char* kMvx160Server = "{21680CD6-043D-4CE5-8A4F-E0F14566E48D}";
constexpr const char* kMvx1601Server = "{E814AD21-807B-4EEC-AE25-1740F658EEF5}";
constexpr const char* kMvx162Server = "{760255B6-E69F-45DE-886B-AB1E6971164D}";
constexpr const char* kMvx163Server = "{5F77C417-5914-4ABA-AE59-8A994CBCCB05}";
constexpr const char* kMvx164Server = "{3ACD0181-2D4C-4F9D-9060-AC4968813BDF}";
constexpr const char* kMvx165Server = "{2A44F024-049A-4988-8CE7-178A25A773C1}";
constexpr const char* kMvx165 = "{5943C437-42C7-4637-A4C1-52348509CD93}";
constexpr const char* kMvx166Server = "{EACA0481-BC59-477C-8FCE-19618236A7FF}";
constexpr const char* kMvx170 = "{759632C4-140A-4E6D-BE47-0B8BF8596C98}";
constexpr const char* kMvx172 = "{24C49F1B-EEB8-467D-87FE-FE2DE76F23EB}";

// A scan passes this where its release has no subkey to leave out; no product code equals it.
constexpr const char* kNoExceptionKey = "{NO_EXCEPTION_KEY_AFTER_16.3}";

std::string U(const char* productCode) {
    return UseUninstallKey(productCode);
}
std::string Sub(const std::string& key, const char* productCode) {
    return key + "\\" + productCode;
}

std::vector<UseKnownRelease> BuildTable() {
    using enum UseDetectionKind;
    using enum UseViewRule;
    const std::string kalvo100 = "SOFTWARE\\Norvale\\Release Kalvo 10.0\\10.0.0";
    const std::string kalvo103 = "SOFTWARE\\Norvale\\Release Kalvo 10.3\\10.3.0";
    const std::string mvx155 = "SOFTWARE\\Norvale\\Norvale MVX 15.5\\15.5";
    const std::string mvx1551 = "SOFTWARE\\Norvale\\Norvale MVX 15.5.1\\15.51";
    const std::string mvx157 = "SOFTWARE\\Norvale\\Norvale MVX 15.7\\15.7";
    const std::string mvx160 = "SOFTWARE\\Norvale\\Norvale MVX 16.0\\16.0";
    const std::string mvx1601 = "SOFTWARE\\Norvale\\Norvale MVX 16.01\\16.01";
    const std::string mvx162 = "SOFTWARE\\Norvale\\Norvale MVX 16.2\\16.2";
    const std::string mvx163 = "SOFTWARE\\Norvale\\Norvale MVX 16.3\\16.3";
    const std::string mvx164 = "SOFTWARE\\Norvale\\Norvale MVX 16.4\\16.4";
    const std::string mvx165 = "SOFTWARE\\Norvale\\Norvale MVX 16.5\\16.5";
    const std::string mvx166 = "SOFTWARE\\Norvale\\Norvale MVX 16.6\\16.6";
    // clang-format off
    return {
    // #  display name               kind            presence code     key                                                     value                            client-setup suffix      view rule                  exception key
    {1,  "Kalvo 10.0",               Value,          kKalvo100Client,  kalvo100,                                               "10_0_Targetdir",                "\\CLIENT_SETUP",        Machine,                   ""},
    {2,  "Kalvo 10.0",               Value,          kKalvo100Server,  kalvo100,                                               "fileServerNVLROOT",             "",                      Machine,                   ""},
    {3,  "Kalvo 10.0i",              Value,          kKalvo100i,       "SOFTWARE\\Norvale\\Pellatra\\10.0.0",                  "Kalvo_10.0i_ProgramDirectory",  "",                      Machine,                   ""},
    {4,  "Kalvo 10.3",               Value,          kKalvo103Client,  kalvo103,                                               "10_3_Targetdir",                "\\CLIENT_SETUP_10.3",   Machine,                   ""},
    {5,  "Kalvo 10.3",               Value,          kKalvo103Server,  kalvo103,                                               "fileServerNVLROOT",             "",                      Machine,                   ""},
    {6,  "Kalvo 10.3i",              Value,          kKalvo103i,       "SOFTWARE\\Norvale\\Pellatra\\10.3.0",                  "Kalvo_10.3i_ProgramDirectory",  "",                      Machine,                   ""},
    {7,  "Kalvo 10.5",               Value,          "",               U(kKalvo105Client),                                     "InstallLocation",               "\\CLIENT_SETUP_10.5",   Machine,                   ""},
    {8,  "Kalvo 10.5",               Value,          kKalvo105Server,  "SOFTWARE\\Norvale\\Release Kalvo 10.5\\10.5.0",        "fileServerNVLROOT",             "",                      Machine,                   ""},
    {9,  "Kalvo 10.5i",              Value,          "",               U(kKalvo105i),                                          "InstallLocation",               "",                      Machine,                   ""},
    {10, "Kalvo 15.7",               Value,          "",               U(kKalvo157Client),                                     "InstallLocation",               "\\CLIENT_SETUP_15.7",   Machine,                   ""},
    {11, "Kalvo 15.7",               Value,          kKalvo157Server,  "SOFTWARE\\Norvale\\Release Kalvo 15.7\\15.7.0",        "fileServerNVLROOT",             "",                      Machine,                   ""},
    {12, "Kalvo 15.7i",              Value,          "",               U(kKalvo157i),                                          "InstallLocation",               "",                      Machine,                   ""},
    {13, "Kalvo 16.0",               Value,          "",               U(kKalvo160Client),                                     "InstallLocation",               "\\CLIENT_SETUP_16.0",   Machine,                   ""},
    {14, "Kalvo 16.0",               Value,          kKalvo160Server,  "SOFTWARE\\Norvale\\Release Kalvo 16.0\\16.0.0",        "fileServerNVLROOT",             "",                      Machine,                   ""},
    {15, "Kalvo 16.2",               Value,          "",               U(kKalvo162Client),                                     "InstallLocation",               "\\CLIENT_SETUP_16.2",   Machine,                   ""},
    {16, "Kalvo 16.2",               Value,          kKalvo162Server,  "SOFTWARE\\Norvale\\Release Kalvo 16.2\\16.2.0",        "fileServerNVLROOT",             "",                      Machine,                   ""},
    {17, "Kalvo 16.3 Demo",          Value,          "",               U(kKalvo163Demo),                                       "InstallLocation",               "",                      Machine,                   ""},
    {18, "Kalvo 16.4 Demo",          Value,          "",               U(kKalvo164Demo),                                       "InstallLocation",               "",                      Machine,                   ""},
    {19, "Kalvo lite",               Value,          "",               U(kKalvoLite),                                          "InstallLocation",               "",                      MachineElseUser,           ""},
    {20, "Kalvo 16.6 lite",          Value,          "",               U(kKalvo166Lite),                                       "InstallLocation",               "",                      MachineElseUser,           ""},
    {21, "QDR 15.0",                 SuiteScan,      "",               "SOFTWARE\\Norvale\\Norvale QDR 15.0\\15.0",            "15_0_Targetdir",                "\\CLIENT_SETUP",        Machine,                   kQdr150},
    {22, "QDR 15.0(File Server)",    Value,          "",               "SOFTWARE\\Norvale\\Fileserver Installation\\QDR 15.0", "InstallDir",                    "",                      Machine,                   ""},
    {23, "QDR 15.1",                 Value,          "",               U(kQdr151Client),                                       "InstallLocation",               "\\CLIENT_SETUP",        Machine,                   ""},
    {24, "QDR 15.1(File Server)",    Value,          "",               "SOFTWARE\\Norvale\\Fileserver Installation\\QDR 15.1", "InstallDir",                    "",                      Machine,                   ""},
    {25, "QDR 15.2",                 Value,          "",               U(kQdr152Client),                                       "InstallLocation",               "\\CLIENT_SETUP_15.2",   Machine,                   ""},
    {26, "QDR 15.2(File Server)",    Value,          "",               "SOFTWARE\\Norvale\\Fileserver Installation\\QDR 15.2", "InstallDir",                    "",                      Machine,                   ""},
    {27, "MVX 15.5",                 SuiteScan,      "",               mvx155,                                                 "InstallLocation",               "\\CLIENT_SETUP_15.5",   Machine,                   kMvx155Server},
    {28, "MVX 15.5(File Server)",    Value,          kMvx155Server,    Sub(mvx155, kMvx155Server),                             "fileServerNVLROOT",             "",                      Machine,                   ""},
    {29, "MVX 15.5.1",               SuiteScan,      "",               mvx1551,                                                "InstallLocation",               "\\CLIENT_SETUP_15.51",  Machine,                   kMvx1551Server},
    {30, "MVX 15.5.1(File Server)",  Value,          kMvx1551Server,   Sub(mvx1551, kMvx1551Server),                           "fileServerNVLROOT",             "",                      Machine,                   ""},
    {31, "MVX 15.7",                 SuiteScan,      "",               mvx157,                                                 "InstallLocation",               "\\CLIENT_SETUP_15.7",   Machine,                   kMvx157Server},
    {32, "MVX 15.7(File Server)",    Value,          kMvx157Server,    Sub(mvx157, kMvx157Server),                             "fileServerNVLROOT",             "",                      Machine,                   ""},
    {33, "MVX 16.0",                 SuiteScan,      "",               mvx160,                                                 "InstallLocation",               "\\CLIENT_SETUP_16.0",   Machine,                   kMvx160Server},
    {34, "MVX 16.0(File Server)",    Value,          kMvx160Server,    Sub(mvx160, kMvx160Server),                             "fileServerNVLROOT",             "",                      Machine,                   ""},
    {35, "MVX 16.01",                SuiteScan,      "",               mvx1601,                                                "InstallLocation",               "\\CLIENT_SETUP_16.01",  Machine,                   kMvx1601Server},
    {36, "MVX 16.01(File Server)",   Value,          kMvx1601Server,   Sub(mvx1601, kMvx1601Server),                           "fileServerNVLROOT",             "",                      Machine,                   ""},
    {37, "MVX 16.2",                 SuiteScan,      "",               mvx162,                                                 "InstallLocation",               "\\CLIENT_SETUP_16.2",   Machine,                   kMvx162Server},
    {38, "MVX 16.2(File Server)",    Value,          kMvx162Server,    Sub(mvx162, kMvx162Server),                             "fileServerNVLROOT",             "",                      Machine,                   ""},
    {39, "MVX 16.3",                 SuiteScan,      "",               mvx163,                                                 "InstallLocation",               "\\CLIENT_SETUP_16.3",   Machine,                   kNoExceptionKey},
    {40, "MVX 16.3(File Server)",    Value,          kMvx163Server,    Sub(mvx163, kMvx163Server),                             "FileServer",                    "",                      Machine,                   ""},
    {41, "MVX 16.4",                 SuiteScan,      "",               mvx164,                                                 "InstallLocation",               "\\CLIENT_SETUP_16.4",   MachineAndUser,            kNoExceptionKey},
    {42, "MVX 16.4(File Server)",    Value,          kMvx164Server,    Sub(mvx164, kMvx164Server),                             "FileServer",                    "",                      MachineElseUser,           ""},
    {43, "MVX 16.5",                 SuiteScan,      "",               mvx165,                                                 "InstallLocation",               "\\CLIENT_SETUP_16.5",   MachineAndUser,            kNoExceptionKey},
    {44, "MVX 16.5(File Server)",    Value,          kMvx165Server,    Sub(mvx165, kMvx165Server),                             "FileServer",                    "",                      MachineElseUser,           ""},
    {45, "MVX 16.5",                 Value,          kMvx165,          U(kMvx165),                                             "InstallLocation",               "",                      MachineWhenPreviousAbsent, ""},
    {46, "MVX 16.6",                 SuiteScan,      "",               mvx166,                                                 "InstallLocation",               "\\CLIENT_SETUP_16.6",   MachineAndUser,            kNoExceptionKey},
    {47, "MVX 16.6(File Server)",    Value,          kMvx166Server,    Sub(mvx166, kMvx166Server),                             "FileServer",                    "",                      MachineElseUser,           ""},
    {48, "MVX 17.0",                 ClientOrServer, kMvx170,          "SOFTWARE\\Norvale\\MVX 17.0",                          "",                              "",                      Machine,                   ""},
    {49, "MVX 17.2",                 ClientOrServer, kMvx172,          "SOFTWARE\\Norvale\\MVX 17.2",                          "",                              "",                      Machine,                   ""},
    };
    // clang-format on
}
} // namespace

const std::vector<UseKnownRelease>& UseKnownReleases() {
    static const std::vector<UseKnownRelease> table = BuildTable();
    return table;
}

std::string UseUninstallKey(const std::string& productCode) {
    return std::string(kUninstallRoot) + "\\" + productCode;
}

std::string UseUninstallKey32(const std::string& productCode) {
    return std::string(kUninstallRoot32) + "\\" + productCode;
}

std::string UseNumberedReleaseName(const std::string& displayName, int counter) {
    return displayName + "_" + std::to_string(counter);
}
