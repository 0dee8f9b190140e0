// A stand-in for the linker, for Korveline's build tests. It links nothing:
// it takes the linker's command-line form
//     tlink [switches] objects[, program[, map]]
// (objects separated by blanks or "+", default extension .obj; the program
// gets .exe, or .com with /t), logs what it was given, checks that every
// object came from the stand-in assembler, and writes as the program a copy
// of marker_program.exe from its own folder: a real program that leaves
// "<its path>.ran" when started. Without /x it also writes a map file.
// It fails, writing nothing, when STANDIN_FAIL names "tlink" or an object is
// missing.
#include "standin_common.h"

using namespace standin;

namespace {

std::vector<std::wstring> ObjectNames(const std::wstring& field) {
    std::vector<std::wstring> names;
    std::size_t start = 0;
    while (start < field.size()) {
        std::size_t end = field.find_first_of(L" \t+", start);
        if (end == std::wstring::npos)
            end = field.size();
        if (end > start)
            names.push_back(WithDefaultExtension(field.substr(start, end - start), L".obj"));
        start = end + 1;
    }
    return names;
}

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return FolderOf(std::wstring(path, n));
}

}  // namespace

int wmain() {
    std::fwprintf(stdout, L"Stand-in linker for Korveline's build tests; it links nothing.\n");
    const std::wstring tail = CommandTail();
    const CommandLine line = ParseCommandLine(tail);
    const std::vector<std::wstring> objects =
        line.fields.empty() ? std::vector<std::wstring>() : ObjectNames(line.fields[0]);
    if (objects.empty()) {
        Log(L"tlink", tail, L"");
        return Fail(L"no object file given");
    }
    const bool com = HasSwitch(line, L"t") || HasSwitch(line, L"tdc");
    const std::wstring extension = com ? L".com" : L".exe";
    const std::wstring program = line.fields.size() > 1 && !line.fields[1].empty()
                                     ? WithDefaultExtension(line.fields[1], extension)
                                     : WithoutExtension(objects[0]) + extension;
    Log(L"tlink", tail, program);
    if (ToldToFail(L"tlink"))
        return Fail(L"told to fail");

    for (const std::wstring& object : objects) {
        std::string bytes;
        if (!ReadFileBytes(object, bytes))
            return Fail(L"unable to open file " + object);
        if (bytes.rfind("STAND-IN OBJECT", 0) != 0)
            return Fail(L"not a stand-in object: " + object);
    }
    // Written, not copied: a copy would keep the marker's own time, and a
    // linker's program is as new as its run.
    std::string marker;
    if (!ReadFileBytes(OwnFolder() + L"marker_program.exe", marker) || !WriteFileBytes(program, marker))
        return Fail(L"cannot write " + program);
    if (!HasSwitch(line, L"x")) {
        const std::wstring map = line.fields.size() > 2 && !line.fields[2].empty()
                                     ? WithDefaultExtension(line.fields[2], L".map")
                                     : WithoutExtension(program) + L".map";
        WriteFileBytes(map, "Stand-in map of " + Utf8(program) + "\r\n");
    }
    std::fwprintf(stdout, L"Wrote %ls\n", program.c_str());
    return 0;
}
