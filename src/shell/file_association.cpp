#include "shell/file_association.h"

#include "settings/settings_store.h"

namespace {

// Windows will not delete a key that has sub-keys in one call, so the
// registration's own sub-keys go first, deepest first. Sub-keys that another
// program added are left alone, and so is the key that holds them.
const wchar_t* const kKeysToDelete[] = {
    L".asm",
    L"Korveline.Qorvath\\Shell\\Open\\command",
    L"Korveline.Qorvath\\Shell\\Open",
    L"Korveline.Qorvath\\Shell",
    L"Korveline.Qorvath\\DefaultIcon",
    L"Korveline.Qorvath",
};

void DeleteAssociationKeys(Registry& registry) {
    for (const wchar_t* key : kKeysToDelete)
        SkipOnFailure([&] { registry.DeleteKey(RegRoot::ClassesRoot, key); });
}

}  // namespace

std::wstring ProgramPathPrefix(const std::wstring& folder, const std::wstring& name) {
    return folder.size() == 3 ? folder + name : folder + L"\\" + name;
}

std::wstring OpenCommand(const std::wstring& folder, const std::wstring& name) {
    return ProgramPathPrefix(folder, name) + L".exe " + L"%1";
}

std::wstring IconLocation(const std::wstring& folder, const std::wstring& name) {
    return ProgramPathPrefix(folder, name) + L".exe" + L",0";
}

void RegisterAsmFiles(Platform& platform, RegShell& regShell, bool& mnuRegChecked) {
    SystemServices& system = platform.system;
    Registry& registry = platform.registry;
    RegShell& reg = regShell;
    const std::wstring folder = system.ProgramFolder();
    const std::wstring name = system.ProgramName();
    const std::wstring command = OpenCommand(folder, name);
    DeleteAssociationKeys(registry);
    SkipOnFailure([&] { registry.CreateKey(RegRoot::ClassesRoot, L".asm"); });
    reg.RegWrite(L"HKCR\\.asm\\", kProgId, L"REG_SZ");
    reg.RegWrite(L"HKCR\\.asm\\Content Type", L"Korveline", L"REG_SZ");
    SkipOnFailure(
        [&] { registry.CreateKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Open\\command"); });
    reg.RegWrite(L"HKCR\\Korveline.Qorvath\\Shell\\Open\\command\\", command, L"REG_SZ");
    SkipOnFailure([&] { registry.CreateKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\DefaultIcon"); });
    reg.RegWrite(L"HKCR\\Korveline.Qorvath\\DefaultIcon\\", IconLocation(folder, name), L"REG_SZ");
    reg.RegWrite(kAsmFilesPath, std::int64_t{1}, L"REG_DWORD");
    mnuRegChecked = true;
}

void RemoveAsmFiles(Platform& platform, RegShell& regShell, bool& mnuRegChecked) {
    DeleteAssociationKeys(platform.registry);
    mnuRegChecked = false;
    regShell.RegWrite(kAsmFilesPath, std::int64_t{0}, L"REG_DWORD");
}

void ToggleAsmFiles(Platform& platform, RegShell& regShell, bool& mnuRegChecked) {
    if (mnuRegChecked)
        RemoveAsmFiles(platform, regShell, mnuRegChecked);
    else
        RegisterAsmFiles(platform, regShell, mnuRegChecked);
}
