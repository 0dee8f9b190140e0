// regShell's path notation and conversions.
#include <gtest/gtest.h>

#include "fakes.h"

namespace {

TEST(RegPathTest, SplitsRootKeyAndValueName) {
    RegPath p = ParseRegPath(L"HKLM\\Software\\asm\\tasm");
    EXPECT_EQ(p.root, RegRoot::LocalMachine);
    EXPECT_EQ(p.key, L"Software\\asm");
    EXPECT_EQ(p.name, L"tasm");

    p = ParseRegPath(L"HKLM\\Software\\asm\\");
    EXPECT_EQ(p.key, L"Software\\asm");
    EXPECT_EQ(p.name, L"") << "a trailing backslash names the default value";

    p = ParseRegPath(L"HKCR\\.asm\\Content Type");
    EXPECT_EQ(p.root, RegRoot::ClassesRoot);
    EXPECT_EQ(p.key, L".asm");
    EXPECT_EQ(p.name, L"Content Type");

    p = ParseRegPath(L"hkey_classes_root\\Korveline.Qorvath\\Shell\\Open\\command\\");
    EXPECT_EQ(p.root, RegRoot::ClassesRoot);
    EXPECT_EQ(p.key, L"Korveline.Qorvath\\Shell\\Open\\command");

    for (const wchar_t* bad :
         {L"", L"HKLM", L"HKXX\\Software\\asm", L"Software\\asm\\tasm", L"HKLM\\tasm", L"HKLM\\\\"}) {
        EXPECT_THROW(ParseRegPath(bad), PlatformError) << std::string(bad, bad + wcslen(bad));
    }
}

TEST(RegShellTest, WritesTypesAndReadsThemBack) {
    FakeRegistry registry;
    RegShell reg(registry);
    reg.RegWrite(L"HKLM\\Software\\asm\\tasm", L"C:\\a b\\tasm.exe", L"REG_SZ");
    reg.RegWrite(L"HKLM\\Software\\asm\\", std::int64_t{1}, L"REG_DWORD");
    reg.RegWrite(L"HKLM\\Software\\asm\\asmfiles", L"0", L"REG_DWORD");
    EXPECT_EQ(reg.RegRead(L"HKLM\\Software\\asm\\TASM").ToString(), L"C:\\a b\\tasm.exe");
    const RegVariant marker = reg.RegRead(L"HKLM\\Software\\asm\\");
    EXPECT_EQ(marker.kind, RegVariant::Kind::Number);
    EXPECT_EQ(marker.ToString(), L"1");
    EXPECT_EQ(registry.ValuesOf(RegRoot::LocalMachine, L"Software\\asm").at(L"asmfiles").value.type,
              RegType::Dword);

    // Writing a name that differs only in case replaces the same value.
    reg.RegWrite(L"HKLM\\Software\\asm\\Tasm", L"other", L"REG_SZ");
    EXPECT_EQ(registry.ValuesOf(RegRoot::LocalMachine, L"Software\\asm").size(), 3u);

    EXPECT_THROW(reg.RegWrite(L"HKLM\\Software\\asm\\x", L"1", L"REG_BINARY"), PlatformError);
    EXPECT_THROW(reg.RegWrite(L"HKLM\\Software\\asm\\x", L"abc", L"REG_DWORD"), PlatformError);
    EXPECT_THROW(reg.RegRead(L"HKLM\\Software\\asm\\missing"), PlatformError);
    reg.RegDelete(L"HKLM\\Software\\asm\\tasm");
    EXPECT_THROW(reg.RegRead(L"HKLM\\Software\\asm\\tasm"), PlatformError);
    EXPECT_THROW(reg.RegDelete(L"HKLM\\Software\\asm\\tasm"), PlatformError);
}

TEST(RegShellTest, SixteenBitConversion) {
    auto text = [](const wchar_t* t) { return RegVariant{RegVariant::Kind::Text, 0, t}; };
    auto number = [](std::int64_t n) { return RegVariant{RegVariant::Kind::Number, n, L""}; };
    EXPECT_EQ(ToInt16(number(1)), 1);
    EXPECT_EQ(ToInt16(number(32767)), 32767);
    EXPECT_EQ(ToInt16(number(32768)), std::nullopt);
    EXPECT_EQ(ToInt16(number(4294967295LL)), std::nullopt);
    EXPECT_EQ(ToInt16(text(L"1")), 1);
    EXPECT_EQ(ToInt16(text(L" -32768 ")), -32768);
    EXPECT_EQ(ToInt16(text(L"2.5")), 2) << "half rounds to even";
    EXPECT_EQ(ToInt16(text(L"3.5")), 4);
    EXPECT_EQ(ToInt16(text(L"40000")), std::nullopt);
    EXPECT_EQ(ToInt16(text(L"abc")), std::nullopt);
    EXPECT_EQ(ToInt16(text(L"1x")), std::nullopt);
    EXPECT_EQ(ToInt16(text(L"")), std::nullopt);
    EXPECT_EQ(ToInt16(RegVariant{}), std::nullopt);
    EXPECT_THROW(RegVariant{}.ToString(), PlatformError);
}

}  // namespace
