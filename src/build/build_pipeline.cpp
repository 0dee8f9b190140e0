#include "build/build_pipeline.h"

// Placeholder until the build pipeline is built.
void RunBuild(BuildKind, ProgramContext&, DocumentState&, BuildState&, MainWindowView&, CommonDialog&) {}
void RunCompiledProgram(const BuildState&, Processes&) {}
