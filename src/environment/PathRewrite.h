#pragma once
#include <string>

struct UsePathRewrite {
    bool written = false;   // PATH was regrouped and stored (and the record logged, unless refused below)
    std::string refusal;    // why PATH was left as it was though it needed regrouping; empty otherwise
    std::string logRefusal; // why the log record was not written (UseWriteSwitchLog); empty otherwise
};

// Rewrites the scope's PATH when it holds suite entries and its regrouped form differs, then logs
// the change. A PATH that another program writes meanwhile is regrouped as that program left it.
UsePathRewrite UseRewritePath(bool machineWide);
