#include "compile/build_listing.h"

#include <algorithm>
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

// The marker a line starts with (after blanks), or none: most lines of a
// listing are decided by their first character.
const Marker* MarkerOf(std::string_view& line) {
    std::size_t at = 0;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    if (at == line.size() || line[at] != '*')
        return nullptr;
    line.remove_prefix(at);
    for (const Marker& marker : kMarkers) {
        if (StartsWithNoCase(line, marker.text))
            return &marker;
    }
    return nullptr;
}

AssemblerMessage MessageOf(const Marker& marker, std::string_view line) {
    AssemblerMessage message;
    message.kind = marker.kind;
    message.text = Trimmed(DosToWin(DecodeCp1251(line.substr(marker.text.size()))));
    SplitLocation(message.text, message);
    return message;
}

}  // namespace

void ListingReader::Take(std::string_view bytes) {
    while (!bytes.empty()) {
        const void* found = std::memchr(bytes.data(), '\n', bytes.size());
        const std::size_t end =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data()) : bytes.size();
        // A line within the piece is looked at where it lies; only the start
        // of a line that the piece leaves open is kept, up to the longest.
        if (open_.empty() && found) {
            Line(bytes.substr(0, end));
        } else {
            open_.append(bytes.data(), std::min(end, kLongestLine - std::min(kLongestLine, open_.size())));
            if (!found)
                return;
            Line(open_);
            open_.clear();
        }
        bytes.remove_prefix(end + 1);
    }
}

void ListingReader::Finish() {
    if (!open_.empty())
        Line(open_);
    open_.clear();
}

void ListingReader::Line(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    line = line.substr(0, kLongestLine);  // as much as a line left open keeps
    const Marker* marker = MarkerOf(line);
    if (!marker)
        return;
    if (kept_.size() < keep_)
        kept_.push_back(MessageOf(*marker, line));
    else
        ++notKept_;
}
