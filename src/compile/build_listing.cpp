#include "compile/build_listing.h"

#include <cstring>

#include "codepage/cp1251.h"
#include "codepage/recode.h"

namespace {

struct Marker {
    std::string_view text;
    MessageKind kind;
};

const Marker kMarkers[] = {
    {"**Error**", MessageKind::Error},
    {"*Warning*", MessageKind::Warning},
    {"**Fatal**", MessageKind::Fatal},
};

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = s[i], b = prefix[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 'a' + 'A');
        if (a != b)
            return false;
    }
    return true;
}

std::wstring Trimmed(const std::wstring& s) {
    const auto first = s.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    return s.substr(first, s.find_last_not_of(L" \t") - first + 1);
}

// The location is the first "name(digits)" followed by a blank or the end.
// A name may hold blanks (a folder "MY WORK") but never ": ", which a text
// such as "Command line: ..." does.
void SplitLocation(const std::wstring& body, AssemblerMessage& message) {
    for (std::size_t open = body.find(L'('); open != std::wstring::npos; open = body.find(L'(', open + 1)) {
        if (open == 0 || body[open - 1] == L' ')
            continue;
        std::size_t close = open + 1;
        std::size_t line = 0;
        while (close < body.size() && body[close] >= L'0' && body[close] <= L'9' && close - open <= 9)
            line = line * 10 + static_cast<std::size_t>(body[close++] - L'0');
        if (close == open + 1 || close >= body.size() || body[close] != L')')
            continue;
        if (close + 1 < body.size() && body[close + 1] != L' ')
            continue;
        const std::wstring file = body.substr(0, open);
        if (file.find(L": ") != std::wstring::npos)
            return;
        message.file = file;
        message.line = line;
        message.text = Trimmed(body.substr(close + 1));
        return;
    }
}

// One line without its line end; false when it is no message.
bool ParseLine(std::string_view line, AssemblerMessage& message) {
    std::size_t at = 0;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    line.remove_prefix(at);
    if (line.empty() || line[0] != '*')
        return false;  // most lines of a listing: one test and done
    for (const Marker& marker : kMarkers) {
        if (!StartsWithNoCase(line, marker.text))
            continue;
        message = AssemblerMessage{};
        message.kind = marker.kind;
        const std::wstring body = Trimmed(DosToWin(DecodeCp1251(line.substr(marker.text.size()))));
        message.text = body;
        SplitLocation(body, message);
        return true;
    }
    return false;
}

}  // namespace

ParsedListing ParseListing(std::string_view bytes, bool complete) {
    ParsedListing parsed;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const void* found = std::memchr(bytes.data() + start, '\n', bytes.size() - start);
        std::size_t end =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data()) : bytes.size();
        if (!found && !complete)
            break;
        const std::size_t next = found ? end + 1 : end;
        if (end > start && bytes[end - 1] == '\r')
            --end;
        AssemblerMessage message;
        if (ParseLine(bytes.substr(start, end - start), message))
            parsed.messages.push_back(std::move(message));
        start = next;
    }
    parsed.consumed = start;
    return parsed;
}
