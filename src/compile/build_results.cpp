#include "compile/build_results.h"

#include <exception>
#include <new>

#include "compile/build_listing.h"
#include "compile/file_names.h"
#include "editor/document.h"

namespace {

constexpr std::uint64_t kFatTimeSlack = 2 * 10000000ull;  // two seconds in file-time units
// A listing of any size makes at most this many rows of messages, read a
// megabyte at a time (a 100 MB one held 1.9 million).
constexpr std::size_t kRowsShown = 5000;
constexpr std::size_t kPieceSize = 1 << 20;

// The assembler names the document as it was given (the short path) or,
// depending on its version, by its name alone.
bool IsDocument(const std::wstring& file, const ScriptOutputs& outputs) {
    for (const std::wstring& path : {outputs.documentShortPath, outputs.documentPath}) {
        if (!path.empty() && (SameFileName(file, path) || SameFileName(file, GetFileName(path))))
            return true;
    }
    return false;
}

std::wstring Grouped(std::uint64_t n) {
    std::wstring digits = std::to_wstring(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, L',');
    return digits;
}

const wchar_t* KindName(MessageKind kind) {
    switch (kind) {
        case MessageKind::Fatal:
            return L"Fatal";
        case MessageKind::Warning:
            return L"Warning";
        case MessageKind::Error:
            break;
    }
    return L"Error";
}

ResultRow RowOf(const AssemblerMessage& m, const ScriptOutputs& outputs) {
    ResultRow row{KindName(m.kind), L"", m.text, 0};
    if (m.line == 0)
        return row;
    if (m.file.empty() || IsDocument(m.file, outputs)) {
        row.where = std::to_wstring(m.line);
        row.line = m.line;
    } else {
        row.where = m.file + L"(" + std::to_wstring(m.line) + L")";
    }
    return row;
}

// The stamp of a file this build wrote; false for none or an earlier build's.
bool WrittenByThisBuild(FileSystem& files,
                        const std::wstring& path,
                        std::uint64_t startedAt,
                        FileStamp& stamp) {
    try {
        if (!files.FileExists(path))
            return false;
        stamp = files.Stamp(path);
    } catch (const PlatformError&) {
        return false;
    }
    return stamp.writeTime + kFatTimeSlack >= startedAt;
}

// What stopped a read, in a few words for a row.
std::wstring WhyNot(const std::exception& error) {
    if (const auto* platform = dynamic_cast<const PlatformError*>(&error))
        return L"Windows error " + std::to_wstring(platform->Code());
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return L"not enough memory";
    return L"an unexpected failure";
}

// The listing's messages, the first kRowsShown of them as rows; a read that
// fails midway keeps the rows before it and says so.
void AddListingRows(const std::wstring& listing,
                    const ScriptOutputs& outputs,
                    FileSystem& files,
                    BuildResults& results) {
    ListingReader reader(kRowsShown);
    std::wstring failure;
    try {
        files.ReadPieces(listing, kPieceSize, [&](std::string_view piece) { reader.Take(piece); });
        reader.Finish();
    } catch (const std::exception& error) {
        failure = WhyNot(error);
    }
    for (const AssemblerMessage& m : reader.Kept())
        results.rows.push_back(RowOf(m, outputs));
    if (reader.NotKept() > 0) {
        results.rows.push_back(
            {L"Listing", L"",
             L"... and " + Grouped(reader.NotKept()) + L" more messages, in " + GetFileName(listing) + L".",
             0});
    }
    if (!failure.empty()) {
        results.rows.push_back({L"Listing", L"",
                                GetFileName(listing) + L" could not be read to its end (" + failure +
                                    L"), so messages may be missing here.",
                                0});
    }
}

BuildResults CollectListingAndOutput(const ScriptOutputs& outputs,
                                     std::uint64_t startedAt,
                                     FileSystem& files) {
    BuildResults results;
    const std::wstring listing = outputs.outBase + L".LST";
    FileStamp stamp;
    const bool listed = WrittenByThisBuild(files, listing, startedAt, stamp);
    if (listed) {
        AddListingRows(listing, outputs, files, results);
    } else {
        results.rows.push_back({L"Listing", L"",
                                L"The assembler wrote no listing (" + GetFileName(listing) +
                                    L"), so its messages cannot be shown here.",
                                0});
    }
    const bool messages = listed && !results.rows.empty();

    const std::wstring output = GetFileName(outputs.outputPath);
    const bool written = WrittenByThisBuild(files, outputs.outputPath, startedAt, stamp);
    if (written) {
        results.rows.push_back({L"Output", L"", output + L" written, " + Grouped(stamp.size) + L" bytes", 0});
    } else if (files.FileExists(outputs.outputPath)) {
        results.rows.push_back({L"Output", L"",
                                L"No output: " + output + L" is from an earlier build; this one wrote none.",
                                0});
    } else {
        results.rows.push_back({L"Output", L"", L"No output: " + output + L" was not written.", 0});
    }
    results.worthShowing = messages || !listed || !written;
    return results;
}

}  // namespace

// Runs off the window's thread, where nothing may escape: every failure is a row.
BuildResults CollectBuildResults(const ScriptOutputs& outputs, std::uint64_t startedAt, FileSystem& files) {
    try {
        return CollectListingAndOutput(outputs, startedAt, files);
    } catch (const std::exception& error) {
        BuildResults failed;  // what was gathered is freed by now
        failed.rows.push_back(
            {L"Build", L"", L"The build's results could not be gathered (" + WhyNot(error) + L").", 0});
        failed.worthShowing = true;
        return failed;
    }
}

TextSpan AssemblerLineSpan(const std::wstring& text, std::size_t line) {
    std::size_t start = 0;
    for (std::size_t n = 1; n < line; ++n) {
        const std::size_t lf = text.find(L'\n', start);
        if (lf == std::wstring::npos)
            return {text.size(), text.size()};
        start = lf + 1;
    }
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos)
        end = text.size();
    if (end > start && text[end - 1] == L'\r')
        --end;
    return {start, end};
}
