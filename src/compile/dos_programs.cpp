#include "compile/dos_programs.h"

#include <cstdint>

#include "compile/dosbox_session.h"

namespace {

unsigned Word(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

bool StartsWithMz(std::string_view bytes) {
    return bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z';
}

// The offset of the new (PE or NE) header is the double word at 3Ch.
constexpr std::size_t kNewHeaderOffset = 0x3C;

// The new header's first bytes, or nothing when the MZ header points past the end.
std::string_view NewHeader(std::string_view bytes) {
    if (bytes.size() < kNewHeaderOffset + 4)
        return {};
    const std::uint64_t at =
        Word(bytes, kNewHeaderOffset) | static_cast<std::uint64_t>(Word(bytes, kNewHeaderOffset + 2)) << 16;
    // Compared without a sum: at + 4 could pass what a 32-bit size holds.
    return at > bytes.size() - 2 ? std::string_view() : bytes.substr(static_cast<std::size_t>(at), 4);
}

}  // namespace

bool IsDosExe(std::string_view bytes) {
    if (!StartsWithMz(bytes))
        return false;
    const std::string_view header = NewHeader(bytes);
    if (header.substr(0, 2) == "NE")
        return false;
    return header != std::string_view("PE\0\0", 4);
}

bool IsDosProgram(std::string_view bytes) {
    return IsDosExe(bytes) || (!bytes.empty() && !StartsWithMz(bytes));
}

bool IsWindowsProgram(std::string_view bytes) {
    return StartsWithMz(bytes) && NewHeader(bytes) == std::string_view("PE\0\0", 4);
}

bool IsHostProgram(std::string_view bytes) {
    return bytes.substr(0, 4) ==
               "\x7F"
               "ELF" ||
           bytes.substr(0, 2) == "#!";
}

std::vector<std::wstring> DosBoxCandidates(SystemServices& system, DosHost& host) {
    std::vector<std::wstring> candidates;
    const auto in = [&candidates](const std::wstring& folder, const wchar_t* name) {
        candidates.push_back(folder + (folder.back() == L'\\' ? L"" : L"\\") + name);
    };
    const std::wstring path = system.Environment(L"PATH");
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find(L';', start);
        if (end == std::wstring::npos)
            end = path.size();
        std::wstring folder = path.substr(start, end - start);
        if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"')
            folder = folder.substr(1, folder.size() - 2);
        // A relative folder would be looked for in the current one, which may be anyone's.
        if (IsDrivePath(folder))
            in(folder, L"dosbox.exe");
        start = end + 1;
    }
    // Only folders that take an administrator to write in: not the system drive's root.
    const wchar_t* const roots[] = {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432"};
    const wchar_t* const installs[] = {L"DOSBox-0.74-3\\DOSBox.exe", L"DOSBox-0.74-2\\DOSBox.exe",
                                       L"DOSBox-0.74\\DOSBox.exe", L"DOSBox-X\\dosbox-x.exe",
                                       L"DOSBox Staging\\dosbox.exe"};
    for (const wchar_t* root : roots) {
        const std::wstring folder = system.Environment(root);
        if (!IsDrivePath(folder))
            continue;
        for (const wchar_t* install : installs)
            in(folder, install);
    }
    for (const wchar_t* folder : {L"/usr/bin/", L"/usr/local/bin/"}) {
        for (const wchar_t* name : {L"dosbox", L"dosbox-x", L"dosbox-staging"}) {
            const std::wstring candidate = host.FromHostPath(folder + std::wstring(name));
            if (!candidate.empty())
                candidates.push_back(candidate);
        }
    }
    return candidates;
}
