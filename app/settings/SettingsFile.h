// Where the settings live: "Gantrel.ini" beside the executable.
#pragma once

#include "SysUtils.h"

#include <string>

inline std::string SettingsFileName() { return ExeDirectory() + "Gantrel.ini"; }
