// Where the settings live: "Gantrel.ini" beside the executable.
#pragma once

#include "SysUtils.h"

#include <string>

// Tests point the settings elsewhere; empty means beside the executable.
inline std::string& SettingsFileOverride()
{
    static std::string path;
    return path;
}

inline std::string SettingsFileName()
{
    return SettingsFileOverride().empty() ? ExeDirectory() + "Gantrel.ini" : SettingsFileOverride();
}
