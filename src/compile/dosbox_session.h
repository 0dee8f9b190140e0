#pragma once
// A DOSBox session as plain text, for compile/dos_route: each folder a build
// uses becomes a DOSBox drive of its own, DOSBox starts with a configuration
// file that mounts them and runs a copy of the build script naming those
// drives, and the command line names no path but the program's, so every
// way of splitting it (Microsoft's rules, SDL 1.2's) reads it alike.
#include <cstdint>
#include <string>
#include <vector>

#include "compile/build_script.h"

struct BuildResults;

// A name DOSBox shows as it is, so a script can name it: up to eight ASCII
// letters, digits or DOS marks, a dot and up to three more ("HELLO.ASM").
bool IsDosName(const std::wstring& name);

// "C:\\...": a full path on a drive, which is all DOSBox can mount.
bool IsDrivePath(const std::wstring& path);

// Whose path a refusal names, and so how the user mends it.
enum class DosPathOwner { Document, Assembler, Linker, Output, Debugger };
// The message that refuses a file DOSBox cannot name, or empty: a path not on
// a drive, or a name with no DOS form. The output's is its base name (no
// extension of its own).
std::wstring DosNameRefusal(DosPathOwner owner, const std::wstring& path);
// The message that refuses a folder DOSBox cannot be given.
std::wstring DosFolderRefusal(DosPathOwner owner, const std::wstring& folder);

// One host folder as a DOSBox drive.
struct DosDrive {
    wchar_t letter = L'C';
    std::wstring key;         // the folder compared without case (its short form)
    std::wstring hostFolder;  // what DOSBox mounts: a Unix folder, or a Windows one
};

// Letters in order from C:, one per folder: never A: or B: (floppies), nor
// Z:, which DOSBox keeps for itself. Returns the folder's letter, 0 when the
// letters have run out.
wchar_t DriveFor(std::vector<DosDrive>& drives, const std::wstring& key, const std::wstring& hostFolder);

// The configuration DOSBox starts with (and nothing of the user's): its
// [autoexec] mounts the drives and runs the commands.
std::wstring DosBoxConfig(const std::vector<DosDrive>& drives, const std::vector<std::wstring>& commands);

// The copy of the build script DOSBox runs: the script's lines for the
// parts given (paths on DOSBox's drives), each tool looked for first and
// its failure noted, as "tasm missing", "tlink failed" lines in statusFile.
std::string DosScriptCopy(const ScriptParts& dosParts, const std::wstring& statusFile);

// The shell script that starts a host DOSBox under Wine (no process handle
// can be waited on there) and writes DOSBox's exit status to `gone` after it.
std::string HostWrapper(const std::wstring& dosboxHostPath,
                        const std::wstring& config,
                        const std::wstring& gone);

// The arguments as one command line: each quoted when it holds a blank. An
// argument holding a quote or ending in a backslash has no form both
// splitters read alike; the route never makes one.
std::wstring CommandLine(const std::vector<std::wstring>& arguments);

// One argument quoted, when it needs it, the way the C runtime splits a
// command line (for programs started without DOSBox).
std::wstring QuoteArgument(const std::wstring& argument);

// Text for a host program: UTF-8.
std::string Utf8(const std::wstring& text);

// What a build through DOSBox came to, beyond its listing and output.
enum class DosEnd { ScriptEnded, DosBoxEnded, DosBoxNotStarted };
struct DosOutcome {
    DosEnd end = DosEnd::ScriptEnded;
    std::uint32_t startError = 0;  // DosBoxNotStarted: the system's error code
    bool tasmMissing = false, tasmFailed = false, tlinkMissing = false, tlinkFailed = false;
    std::wstring tasmPath, tlinkPath;  // as the rows name them
};
// From the watch's news. A host DOSBox's wrapper gives 126 (not a program)
// or 127 (not found) when DOSBox could not start.
DosOutcome ReadDosOutcome(bool scriptEnded, const std::string& status, int exitStatus, bool wrapped);
// Rows of kind "DOSBox" before the others; any makes the results worth
// showing. DOSBox that did not start is said in a message instead: no window.
void AddDosOutcomeRows(BuildResults& results, const DosOutcome& outcome);
