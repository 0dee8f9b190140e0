#pragma once
// The services of the platform, handed to the program's logic as one bundle.
#include "platform/clipboard.h"
#include "platform/file_dialog.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/system_services.h"

struct Platform {
    Registry& registry;
    FileSystem& files;
    FileDialogService& fileDialogs;
    MessageBoxes& messages;
    Processes& processes;
    Clipboard& clipboard;
    SystemServices& system;
};
