#include "driver/e2e.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "driver/environment.h"

namespace e2e {

namespace {

FILE* g_log = nullptr;
int g_failures = 0;  // of the running test

// A character as a failure message shows it; empty for one written as itself in UTF-8.
std::string Escape(unsigned c) {
    const char* named[] = {"\\r", "\\n", "\\t", "\\\"", "\\\\"};
    const auto at = std::string("\r\n\t\"\\").find(static_cast<char>(c));
    if (c < 0x80 && at != std::string::npos)
        return named[at];
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
    return c < 0x20 || (c >= 0x7f && c < 0xa0) ? buffer
           : c < 0x80                          ? std::string(1, static_cast<char>(c))
                                               : "";
}

}  // namespace

std::vector<TestCase>& AllTests() {
    static std::vector<TestCase> tests;
    return tests;
}

void detail::OpenLog(const std::wstring& path) {
    g_log = _wfopen(path.c_str(), L"wb");
}

void Log(const std::string& line) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d ", t.wHour, t.wMinute, t.wSecond,
                  t.wMilliseconds);
    if (!g_log)
        return;
    std::fputs(stamp, g_log);
    std::fputs(line.c_str(), g_log);
    std::fputc('\n', g_log);
    std::fflush(g_log);
}

void Log(const std::wstring& line) {
    Log(Utf8(line));
}

void Fail(const std::string& message, const char* file, int line) {
    ++g_failures;
    if (!file) {
        Log("  FAILED: " + message);
        return;
    }
    const char* base = std::strrchr(file, '/');
    Log(std::string("  FAILED at ") + (base ? base + 1 : file) + ":" + std::to_string(line) + ": " + message);
}

void Abort(const std::string& reason) {
    throw TestAbort{reason};
}

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::string Describe(const std::wstring& text) {
    std::string out = "\"";
    for (wchar_t c : text) {
        std::string escaped = Escape(c);
        out += escaped.empty() ? Utf8(std::wstring(1, c)) : escaped;
    }
    return out + "\"";
}

std::string Describe(const wchar_t* text) {
    return text ? Describe(std::wstring(text)) : "(null)";
}

std::string Describe(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char b : bytes) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\x%02X", b);
        out += b >= 0x80 ? buffer : Escape(b);
    }
    return out + "\"";
}

std::string Describe(const char* bytes) {
    return bytes ? Describe(std::string(bytes)) : "(null)";
}

std::string Describe(bool value) {
    return value ? "true" : "false";
}

void PollPause() {
    Sleep(20);
}

bool Expired(std::chrono::steady_clock::time_point deadline) {
    return std::chrono::steady_clock::now() >= deadline;
}

int detail::FailuresOfRunningTest() {
    return g_failures;
}
void detail::ResetFailures() {
    g_failures = 0;
}

}  // namespace e2e
