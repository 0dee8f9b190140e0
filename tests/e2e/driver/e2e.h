#pragma once
// The test-case API of the end-to-end driver (see ../README.md). CHECK_* record
// a failure and let the test go on; REQUIRE_* end the test. The *_EVENTUALLY_*
// forms poll until the value holds or the timeout passes, and report the last
// value seen. Never sleep in a test: wait for what the user would see.
#include <chrono>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace e2e {

using Ms = std::chrono::milliseconds;
// A start under Wine takes about a second, several on a loaded machine.
constexpr Ms kStartTimeout{20000};
constexpr Ms kStateTimeout{10000};

struct TestCase {
    const char *suite, *name;
    void (*body)();
};
std::vector<TestCase>& AllTests();
struct Registrar {
    explicit Registrar(TestCase test) { AllTests().push_back(test); }
};

void Log(const std::string& line);  // to e2e.log, flushed at once
void Log(const std::wstring& line);
// Records a failure of the running test; `file` may be null.
void Fail(const std::string& message, const char* file = nullptr, int line = 0);
[[noreturn]] void Abort(const std::string& reason);  // ends the running test
std::string Utf8(const std::wstring& text);

// Values in failure messages: strings quoted with control characters escaped.
std::string Describe(const std::wstring& text);
std::string Describe(const std::string& bytes);
inline std::string Describe(const wchar_t* text) {
    return Describe(std::wstring(text));
}
inline std::string Describe(const char* bytes) {
    return Describe(std::string(bytes));
}
inline std::string Describe(bool value) {
    return value ? "true" : "false";
}
template <class T, class = std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>>
std::string Describe(T value) {
    return std::to_string(value);
}
template <class T>
std::string Describe(const std::optional<T>& value) {
    return value ? Describe(*value) : "(none)";
}
template <class T>
std::string Describe(const std::vector<T>& values) {
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i)
        out += (i ? ", " : "") + Describe(values[i]);
    return out + "]";
}

void PollPause();  // the interval between two polls

// Polls the condition until it holds (true) or the timeout passes (false).
template <class Condition>
bool WaitUntil(Condition&& condition, Ms timeout = kStateTimeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;; PollPause())
        if (condition())
            return true;
        else if (std::chrono::steady_clock::now() >= deadline)
            return false;
}

template <class A, class E>
bool CheckEq(const A& actual, const E& expected, const char* text, const char* file, int line) {
    if (actual == expected)
        return true;
    Fail(std::string(text) + "\n      actual:   " + Describe(actual) +
             "\n      expected: " + Describe(expected),
         file, line);
    return false;
}

template <class Get, class E>
bool CheckEventuallyEq(Get&& get, const E& expected, const char* text, const char* file, int line) {
    auto last = get();
    WaitUntil([&] { return (last = get()) == expected; });
    return CheckEq(last, expected, text, file, line);
}

}  // namespace e2e

#define E2E_TEST(suite, name)                                                                       \
    static void e2e_##suite##_##name();                                                             \
    static ::e2e::Registrar e2e_registrar_##suite##_##name({#suite, #name, &e2e_##suite##_##name}); \
    static void e2e_##suite##_##name()

#define CHECK(cond) ::e2e::CheckEq(static_cast<bool>(cond), true, "not true: " #cond, __FILE__, __LINE__)
#define CHECK_EQ(actual, expected) \
    ::e2e::CheckEq((actual), (expected), #actual " == " #expected, __FILE__, __LINE__)
#define CHECK_EVENTUALLY(cond) \
    ::e2e::CheckEventuallyEq([&] { return static_cast<bool>(cond); }, true, #cond, __FILE__, __LINE__)
#define CHECK_EVENTUALLY_EQ(actual, expected)                                                          \
    ::e2e::CheckEventuallyEq([&] { return (actual); }, (expected), #actual " == " #expected, __FILE__, \
                             __LINE__)

#define E2E_REQUIRED(check)                          \
    do {                                             \
        if (!(check))                                \
            ::e2e::Abort("a required check failed"); \
    } while (0)
#define REQUIRE(cond) E2E_REQUIRED(CHECK(cond))
#define REQUIRE_EQ(actual, expected) E2E_REQUIRED(CHECK_EQ(actual, expected))
#define REQUIRE_EVENTUALLY(cond) E2E_REQUIRED(CHECK_EVENTUALLY(cond))
#define REQUIRE_EVENTUALLY_EQ(actual, expected) E2E_REQUIRED(CHECK_EVENTUALLY_EQ(actual, expected))
