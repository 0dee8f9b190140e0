#pragma once
// Recode: conversion of text between Cyrillic code pages, always through
// Windows-1251. Ids: 1 Windows-1251, 2 DOS (CP866 letters), 3 KOI8-R
// letters, 5 ISO 8859-5. An id without a table is taken as Windows-1251, so
// such a conversion passes the text through unchanged rather than losing it.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Map N: the target byte of each Windows-1251 byte 0x80 + k.
using ByteMap = std::array<std::uint8_t, 128>;
const ByteMap& Map2();
const ByteMap& Map3();
const ByteMap& Map5();

// Table N: character k is the Windows-1251 character of byte map N[k].
std::wstring RecodeTable(std::int32_t id);

std::wstring RecodeText(const std::wstring& text, std::int32_t fromId, std::int32_t toId);
std::wstring WinToDos(const std::wstring& text);
std::wstring DosToWin(const std::wstring& text);

// EncodeCp1251(WinToDos(text)) into out, which holds text.size() bytes, in
// one pass: a save's convert-and-encode without the converted text between.
void WinToDosBytes(std::wstring_view text, char* out);
