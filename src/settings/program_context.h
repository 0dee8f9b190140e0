#pragma once
// What the settings dialogs, the first start and the main window reach:
// the platform, regShell, the settings strings and the per-user settings. The other subsystems take
// only the part they use.
#include "platform/platform.h"
#include "settings/reg_shell.h"
#include "settings/shared_settings.h"
#include "settings/user_settings.h"

struct ProgramContext {
    Platform& platform;
    RegShell& regShell;
    SharedSettings& settings;
    UserSettings& user;
};
