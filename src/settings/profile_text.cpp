#include "settings/profile_text.h"

#include <algorithm>
#include <vector>

namespace lomi {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Bytes that begin a double-byte character in code page 932. The byte after
// one is its second half, whatever its value (it may look like '[', ']' or
// an ASCII letter).
bool IsLeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Names match with ASCII letters folded; both bytes of a double-byte
// character compare exactly.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (IsLeadByte(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// Position of the last ']' that is a character of its own, or npos.
std::size_t FindLastCloseBracket(std::string_view text) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(text[i])) {
            ++i;
        } else if (text[i] == ']') {
            found = i;
        }
    }
    return found;
}

enum class LineKind { Other, Blank, Section, Key };

struct Line {
    std::size_t begin = 0;  // first byte of the text
    std::size_t end = 0;    // one past the text, where the line break begins
    std::size_t next = 0;   // one past the line break
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, blanks removed
    std::string_view value;  // key value, blanks removed
};

Line ClassifyLine(std::string_view file, std::size_t begin, std::size_t end, std::size_t next) {
    Line line;
    line.begin = begin;
    line.end = end;
    line.next = next;
    const std::string_view text = Trim(file.substr(begin, end - begin));
    if (text.empty()) {
        line.kind = LineKind::Blank;
    } else if (text.front() == '[') {
        const std::size_t close = FindLastCloseBracket(text);
        if (close != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = Trim(text.substr(1, close - 1));
        }
    } else if (text.front() != ';') {
        const std::size_t equals = text.find('=');
        if (equals != std::string_view::npos) {
            line.kind = LineKind::Key;
            line.name = Trim(text.substr(0, equals));
            line.value = Trim(text.substr(equals + 1));
        }
    }
    return line;
}

std::vector<Line> SplitLines(std::string_view file) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < file.size()) {
        std::size_t end = begin;
        while (end < file.size() && file[end] != '\r' && file[end] != '\n') ++end;
        std::size_t next = end;
        if (next < file.size()) {
            next +=
                (file[next] == '\r' && next + 1 < file.size() && file[next + 1] == '\n') ? 2 : 1;
        }
        lines.push_back(ClassifyLine(file, begin, end, next));
        begin = next;
    }
    return lines;
}

// Where a section stands: its header line and the line after its last line.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t stop = 0;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != LineKind::Section || !SameName(lines[i].name, section)) continue;
        std::size_t stop = i + 1;
        while (stop < lines.size() && lines[stop].kind != LineKind::Section) ++stop;
        return SectionSpan{i, stop};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, SectionSpan span,
                                   std::string_view key) {
    for (std::size_t i = span.header + 1; i < span.stop; ++i) {
        if (lines[i].kind == LineKind::Key && SameName(lines[i].name, key)) return i;
    }
    return std::nullopt;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool EnclosedInQuotes(std::string_view text) {
    return text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
}

// The line break to put after a line before more text can follow it: none
// when it has one already (only the file's last line can lack one).
std::string_view BreakNeeded(const Line& line) {
    return line.next == line.end ? std::string_view("\r\n") : std::string_view();
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view file, std::string_view section,
                                            std::string_view key) {
    const std::vector<Line> lines = SplitLines(file);
    const auto span = FindSection(lines, section);
    if (!span) return std::nullopt;
    const auto found = FindKey(lines, *span, key);
    if (!found) return std::nullopt;
    return std::string(lines[*found].value);
}

std::string ProfileValueAsRead(std::string_view raw) {
    std::string_view value = raw;
    if (EnclosedInQuotes(value)) value = value.substr(1, value.size() - 2);
    value = value.substr(0, value.find('\0'));
    std::size_t length = 0;
    while (length < value.size()) {
        const std::size_t width = IsLeadByte(value[length]) ? 2 : 1;
        if (length + width > kProfileValueLimit) break;
        length += width;
    }
    return std::string(value.substr(0, std::min(length, value.size())));
}

std::string SetProfileValue(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view value) {
    const std::vector<Line> lines = SplitLines(file);
    std::string result;
    result.reserve(file.size() + section.size() + key.size() + value.size() + 8);

    const auto span = FindSection(lines, section);
    if (!span) {
        result.append(file);
        if (!lines.empty()) result.append(BreakNeeded(lines.back()));
        result.append("[").append(section).append("]\r\n");
        result.append(key).append("=").append(value).append("\r\n");
        return result;
    }

    if (const auto found = FindKey(lines, *span, key)) {
        const Line& line = lines[*found];
        result.append(file.substr(0, line.begin));
        result.append(line.name).append("=").append(value).append("\r\n");
        result.append(file.substr(line.next));
        return result;
    }

    // After the last line of the section that holds anything, so that blank
    // lines keep separating it from the next section.
    std::size_t anchor = span->stop - 1;
    while (anchor > span->header && lines[anchor].kind == LineKind::Blank) --anchor;
    const Line& line = lines[anchor];
    result.append(file.substr(0, line.next));
    result.append(BreakNeeded(line));
    result.append(key).append("=").append(value).append("\r\n");
    result.append(file.substr(line.next));
    return result;
}

bool ProfileValueRoundTrips(std::string_view value) {
    return value.size() <= kProfileValueLimit &&
           value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::string ProfileValueText(std::string_view value) {
    const bool needsQuotes = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                                                EnclosedInQuotes(value));
    if (!needsQuotes) return std::string(value);
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted.append("\"").append(value).append("\"");
    return quoted;
}

}  // namespace lomi
