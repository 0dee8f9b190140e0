#pragma once
// What a finished build has to say: the assembler's messages from its
// listing and whether the output was written, as rows for the results view.
// A listing of any size gives a bounded number of rows, and every failure
// (the listing unreadable, memory running out) becomes a row.
#include <cstdint>
#include <string>
#include <vector>

#include "compile/build_state.h"
#include "platform/file_system.h"

struct ResultRow {
    std::wstring kind;   // "Error", "Warning", "Fatal", "Listing", "Output" or "Build"
    std::wstring where;  // the document's line, "FILE(line)" for another file, or empty
    std::wstring text;
    std::size_t line = 0;  // the document's line the row leads to (from 1); 0: none
};

struct BuildResults {
    std::vector<ResultRow> rows;
    // Messages, no listing or no output; a clean build has nothing to say.
    bool worthShowing = false;
    unsigned build = 0;               // the build they belong to
    unsigned documentGeneration = 0;  // the document's text they speak of (Document::Generation)
};

// Reads outBase.LST and looks for the output. Files older than the script
// (by more than a FAT time's two seconds) are an earlier build's.
BuildResults CollectBuildResults(const ScriptOutputs& outputs, std::uint64_t startedAt, FileSystem& files);

// The editor's text of an assembler line (counted from 1): the assembler
// ends a line at LF alone, the editor at CR LF. A line past the text is
// taken as the text's end.
struct TextSpan {
    std::size_t start = 0, end = 0;
};
TextSpan AssemblerLineSpan(const std::wstring& text, std::size_t line);
