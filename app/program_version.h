// The running program's own version, from its VERSIONINFO.
#pragma once

#include "foundation/module_info.h"

em_utility::file_version RunningProgramVersion();
