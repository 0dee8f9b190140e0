#include "driver/e2e.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "driver/environment.h"

namespace e2e {

namespace {

FILE* g_log = nullptr;
int g_failures = 0;  // of the running test

std::string Escape(char32_t c) {
    char buffer[16];
    switch (c) {
        case '\r':
            return "\\r";
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        default:
            break;
    }
    if (c < 0x20 || (c >= 0x7f && c < 0xa0)) {
        std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned>(c));
        return buffer;
    }
    if (c < 0x80)
        return std::string(1, static_cast<char>(c));
    return {};  // the caller writes the character itself
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
    char buffer[8];
    for (unsigned char b : bytes) {
        if (b >= 0x80) {
            std::snprintf(buffer, sizeof buffer, "\\x%02X", b);
            out += buffer;
        } else {
            out += Escape(b);
        }
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
