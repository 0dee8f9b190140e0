#include "editor/document_commands.h"

// Placeholder until the file commands are built.
void DocumentCommands::mnuNew_Click() {}
void DocumentCommands::mnuOpen_Click() {}
void DocumentCommands::mnuSave_Click() {}
void DocumentCommands::mnuSaveAs_Click() {}
void DocumentCommands::ExitCheck() {}
void DocumentCommands::SaveDocument() {}
