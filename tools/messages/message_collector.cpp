#include "message_collector.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace lomi::messages {

namespace {

constexpr std::string_view kAny = "…";

enum class Kind { Text, Character, Name, Number, Mark };

struct Token {
    Kind kind;
    std::string text;  // a literal's characters, escapes undone
    int line;
};

// Calls that only turn a literal into another string type.
const std::set<std::string> kPassThrough = {"fromUtf8", "fromLatin1",   "QStringLiteral",
                                            "QString",  "string",       "string_view",
                                            "tr",       "QLatin1String"};
// Calls whose texts explain a control, not messages.
const std::set<std::string> kNotShownAsMessage = {
    "setToolTip", "setWhatsThis", "setStatusTip", "setPlaceholderText",
    "footer",     "add_option",   "add_flag"};
// Texts of lomi-report's --help that read like sentences.
const std::vector<std::string> kHelpTexts = {"買い目ファイルを集計し、"};

const std::set<std::string> kBoundaries = {";",  ",",      "{",    "}",     "=",        "+=",
                                           "-=", "==",     "!=",   "&&",    "||",       "?",
                                           ":",  "return", "case", "throw", "co_return"};

bool NameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool NamePart(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::vector<Token> Tokenize(const std::string& s) {
    std::vector<Token> tokens;
    int line = 1;
    bool lineStart = true;
    std::size_t i = 0;
    const auto escaped = [&](char quote) {
        std::string text;
        ++i;  // the opening quote
        while (i < s.size() && s[i] != quote) {
            char c = s[i++];
            if (c == '\n') ++line;
            if (c == '\\' && i < s.size()) {
                const char e = s[i++];
                c = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
            }
            text += c;
        }
        ++i;
        return text;
    };
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\n') {
            ++line;
            ++i;
            lineStart = true;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        if (c == '#' && lineStart) {  // a preprocessor line, with its continuations
            while (i < s.size() && (s[i] != '\n' || s[i - 1] == '\\')) line += s[i++] == '\n';
            continue;
        }
        lineStart = false;
        if (s.compare(i, 2, "//") == 0) {
            while (i < s.size() && s[i] != '\n') ++i;
            continue;
        }
        if (s.compare(i, 2, "/*") == 0) {
            const std::size_t end = s.find("*/", i + 2);
            const std::size_t stop = end == std::string::npos ? s.size() : end + 2;
            line += static_cast<int>(std::count(s.begin() + i, s.begin() + stop, '\n'));
            i = stop;
            continue;
        }
        if (NameStart(c)) {
            std::size_t j = i;
            while (j < s.size() && NamePart(s[j])) ++j;
            const std::string name = s.substr(i, j - i);
            const bool prefix = name == "u8" || name == "u" || name == "U" || name == "L";
            const bool raw =
                name == "R" || name == "u8R" || name == "uR" || name == "UR" || name == "LR";
            if (j < s.size() && s[j] == '"' && raw) {
                const std::size_t open = s.find('(', j);
                const std::string close = ")" + s.substr(j + 1, open - j - 1) + "\"";
                const std::size_t end = s.find(close, open);
                const int at = line;
                const std::string text = s.substr(open + 1, end - open - 1);
                line += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
                tokens.push_back({Kind::Text, text, at});
                i = end + close.size();
                continue;
            }
            if (j < s.size() && s[j] == '"' && prefix) {
                i = j;
                continue;  // the literal follows
            }
            tokens.push_back({Kind::Name, name, line});
            i = j;
            continue;
        }
        if (c == '"') {
            const int at = line;
            std::string text = escaped('"');
            if (!tokens.empty() && tokens.back().kind == Kind::Text) {
                tokens.back().text += text;  // "a" "b" is one literal
            } else {
                tokens.push_back({Kind::Text, std::move(text), at});
            }
            continue;
        }
        if (c == '\'') {
            tokens.push_back({Kind::Character, escaped('\''), line});
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t j = i;
            while (j < s.size() && (NamePart(s[j]) || s[j] == '.' || s[j] == '\'')) ++j;
            tokens.push_back({Kind::Number, s.substr(i, j - i), line});
            i = j;
            continue;
        }
        static const char* marks[] = {"<<=", ">>=", "::", "->", "<<", ">>", "+=", "-=", "==", "!=",
                                      "<=",  ">=",  "&&", "||", "++", "--", "*=", "/=", "|=", "&="};
        std::string mark(1, c);
        for (const char* m : marks) {
            if (s.compare(i, std::char_traits<char>::length(m), m) == 0) {
                mark = m;
                break;
            }
        }
        tokens.push_back({Kind::Mark, mark, line});
        i += mark.size();
    }
    return tokens;
}

class Collector {
public:
    Collector(std::vector<Token> tokens, std::string file)
        : t_(std::move(tokens)), file_(std::move(file)), used_(t_.size(), false) {}

    std::vector<Message> Run() {
        std::vector<Message> found;
        for (std::size_t i = 0; i < t_.size(); ++i) {
            if (t_[i].kind != Kind::Text || used_[i]) continue;
            auto [b, e] = Expression(i);
            std::vector<std::size_t> literals;
            std::vector<std::string> texts = Templates(b, e, literals);
            if (literals.empty()) literals.push_back(i);
            for (const std::size_t l : literals) used_[l] = true;
            if (Is(b - 1, "(") && b >= 2 && kNotShownAsMessage.count(t_[b - 2].text)) continue;
            const bool appended = Is(b - 1, "+=");
            for (std::string& text : texts) {
                if (appended) text = std::string(kAny) + text;
                // Each line of a text is told on its own (a message and its
                // English twin, a message and the file name under it).
                std::stringstream lines(text);
                for (std::string line; std::getline(lines, line);) {
                    line = Tidy(line);
                    if (!IsMessage(line)) continue;
                    found.push_back(
                        {line, file_ + ":" + std::to_string(t_[literals.front()].line)});
                }
            }
        }
        return found;
    }

private:
    bool Is(std::size_t i, std::string_view mark) const {
        return i < t_.size() && t_[i].kind != Kind::Text && t_[i].text == mark;
    }

    // The index after the bracket that closes the one at open.
    std::size_t Closing(std::size_t open) const {
        int depth = 0;
        for (std::size_t i = open; i < t_.size(); ++i) {
            if (Is(i, "(") || Is(i, "[") || Is(i, "{")) ++depth;
            if (Is(i, ")") || Is(i, "]") || Is(i, "}")) {
                if (--depth == 0) return i + 1;
            }
        }
        return t_.size();
    }

    // The index of the bracket that opens the one closing at close.
    std::size_t Opening(std::size_t close) const {
        int depth = 0;
        for (std::size_t i = close + 1; i-- > 0;) {
            if (Is(i, ")") || Is(i, "]")) ++depth;
            if (Is(i, "(") || Is(i, "[")) {
                if (--depth == 0) return i;
            }
        }
        return 0;
    }

    bool Boundary(std::size_t i) const {
        return t_[i].kind != Kind::Text && t_[i].kind != Kind::Number &&
               kBoundaries.count(t_[i].text) > 0;
    }

    // The whole expression around the literal at i, stepping out of calls
    // that only convert it (QString::fromUtf8("…")).
    std::pair<std::size_t, std::size_t> Expression(std::size_t i) const {
        std::size_t b = i, e = i + 1;
        for (;;) {
            while (b > 0 && !Boundary(b - 1) && !Is(b - 1, "(") && !Is(b - 1, "[")) {
                b = Is(b - 1, ")") || Is(b - 1, "]") ? Opening(b - 1) : b - 1;
            }
            while (e < t_.size() && !Boundary(e) && !Is(e, ")") && !Is(e, "]")) {
                e = Is(e, "(") || Is(e, "[") ? Closing(e) : e + 1;
            }
            if (b >= 2 && Is(b - 1, "(") && Is(e, ")") && t_[b - 2].kind == Kind::Name &&
                kPassThrough.count(t_[b - 2].text)) {
                b -= 2;
                while (b >= 2 && Is(b - 1, "::") && t_[b - 2].kind == Kind::Name) b -= 2;
                e += 1;
                continue;
            }
            return {b, e};
        }
    }

    std::vector<std::string> Templates(std::size_t b, std::size_t e,
                                       std::vector<std::size_t>& literals) const {
        // cond ? x : y gives the texts of both branches.
        int depth = 0;
        for (std::size_t i = b; i < e; ++i) {
            if (Is(i, "(") || Is(i, "["))
                i = Closing(i) - 1;
            else if (Is(i, "?")) {
                for (std::size_t j = i + 1; j < e; ++j) {
                    if (Is(j, "(") || Is(j, "["))
                        j = Closing(j) - 1;
                    else if (Is(j, "?"))
                        ++depth;
                    else if (Is(j, ":") && depth-- == 0) {
                        std::vector<std::string> texts = Templates(i + 1, j, literals);
                        std::vector<std::string> other = Templates(j + 1, e, literals);
                        texts.insert(texts.end(), other.begin(), other.end());
                        return texts;
                    }
                }
            }
        }
        std::vector<std::string> texts = {""};
        bool first = true;
        bool streamed = false;
        std::size_t start = b;
        for (std::size_t i = b; i <= e; ++i) {
            if (i < e && (Is(i, "(") || Is(i, "["))) {
                i = Closing(i) - 1;
                continue;
            }
            if (i < e && !Is(i, "+") && !Is(i, "<<")) continue;
            if (i < e && Is(i, "<<") && first) streamed = true;
            std::vector<std::size_t> mine;
            std::vector<std::string> parts = Operand(start, i, mine);
            // The stream a << chain writes to is no part of the text.
            const bool stream = first && streamed && mine.empty();
            if (!stream) {
                std::vector<std::string> joined;
                for (const std::string& head : texts) {
                    for (const std::string& part : parts) joined.push_back(head + part);
                }
                texts = std::move(joined);
            }
            literals.insert(literals.end(), mine.begin(), mine.end());
            first = false;
            start = i + 1;
        }
        return texts;
    }

    std::vector<std::string> Operand(std::size_t b, std::size_t e,
                                     std::vector<std::size_t>& literals) const {
        if (b >= e) return {""};
        std::vector<std::string> texts;
        std::size_t after = e;
        if (t_[b].kind == Kind::Text) {
            literals.push_back(b);
            texts = {t_[b].text};
            after = b + 1;
        } else if (Is(b, "(")) {
            after = Closing(b);
            texts = Templates(b + 1, after - 1, literals);
        } else {
            std::size_t n = b;
            while (n + 2 < e && t_[n].kind == Kind::Name && Is(n + 1, "::")) n += 2;
            if (t_[n].kind == Kind::Name && kPassThrough.count(t_[n].text) && Is(n + 1, "(")) {
                after = Closing(n + 1);
                texts = Templates(n + 2, after - 1, literals);
            }
        }
        if (texts.empty()) return {std::string(kAny)};
        // .arg(…) fills the %1, %2 … of the text with what is computed.
        bool filled = false;
        for (std::size_t i = after; i + 2 < e; ++i) {
            if ((Is(i, ".") || Is(i, "->")) && t_[i + 1].text == "arg") filled = true;
        }
        if (after < e && !filled && !Is(after, ".") && !Is(after, "->")) return {std::string(kAny)};
        if (filled) {
            for (std::string& text : texts) {
                for (char d = '1'; d <= '9'; ++d) {
                    const std::string place = std::string("%") + d;
                    for (std::size_t at; (at = text.find(place)) != std::string::npos;) {
                        text.replace(at, 2, kAny);
                    }
                }
            }
        }
        return texts;
    }

    static std::string Tidy(std::string text) {
        const auto blank = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
        while (!text.empty() && blank(text.back())) text.pop_back();
        std::size_t lead = 0;
        while (lead < text.size() && blank(text[lead])) ++lead;
        text.erase(0, lead);
        const std::string twice = std::string(kAny) + std::string(kAny);
        for (std::size_t at; (at = text.find(twice)) != std::string::npos;)
            text.erase(at, kAny.size());
        return text;
    }

    static bool EndsWith(const std::string& text, std::string_view end) {
        return text.size() >= end.size() &&
               text.compare(text.size() - end.size(), end.size(), end) == 0;
    }

    static bool IsMessage(const std::string& text) {
        for (const std::string& help : kHelpTexts) {
            if (text.find(help) != std::string::npos) return false;
        }
        // Kana or kanji, not only Japanese punctuation ("…）。").
        bool japanese = false;
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            const auto lead = static_cast<unsigned char>(text[i]);
            const auto next = static_cast<unsigned char>(text[i + 1]);
            japanese = japanese || (lead == 0xE3 && next >= 0x81 && next <= 0x83) ||
                       (lead >= 0xE4 && lead <= 0xE9) ||
                       (lead == 0xEF && (next == 0xBD || next == 0xBE));
        }
        if (!japanese) {  // FILE NOT FOUND., FILE NOT OPEN.
            return text.size() > 5 && EndsWith(text, ".") &&
                   std::all_of(text.begin(), text.end(), [](char c) {
                       return (c >= 'A' && c <= 'Z') || c == ' ' || c == '.';
                   });
        }
        if (text.find("。") != std::string::npos) return true;
        std::string end = text;
        for (bool cut = true; cut;) {
            cut = false;
            for (std::string_view tail : {"...", "…", " "}) {
                if (EndsWith(end, tail)) {
                    end.erase(end.size() - tail.size());
                    cut = true;
                }
            }
            // A closing remark in brackets: "…ます（259 文字まで）".
            for (auto [open, close] : {std::pair{"（", "）"}, std::pair{"(", ")"}}) {
                const std::size_t at = end.rfind(open);
                if (EndsWith(end, close) && at != std::string::npos) {
                    end.erase(at);
                    cut = true;
                }
            }
        }
        for (std::string_view sentence : {"ません", "ました", "です", "ます", "ください"}) {
            if (EndsWith(end, sentence)) return true;
        }
        return false;
    }

    std::vector<Token> t_;
    std::string file_;
    std::vector<bool> used_;
};

std::string WithoutBlanks(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ' || text[i] == '\t' || text[i] == '`') continue;
        if (text.compare(i, 3, "　") == 0) {
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

// Whether text fits pattern, each "…" of the pattern standing for any text.
bool Fits(const std::string& pattern, const std::string& text) {
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = pattern.find(kAny, from);
        parts.push_back(
            pattern.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) break;
        from = at + kAny.size();
    }
    if (parts.size() == 1) return pattern == text;
    if (text.compare(0, parts.front().size(), parts.front()) != 0) return false;
    std::size_t at = parts.front().size();
    for (std::size_t k = 1; k + 1 < parts.size(); ++k) {
        at = text.find(parts[k], at);
        if (at == std::string::npos) return false;
        at += parts[k].size();
    }
    const std::string& last = parts.back();
    return text.size() >= at + last.size() &&
           text.compare(text.size() - last.size(), last.size(), last) == 0;
}

std::string Cell(const std::string& row, std::size_t index) {
    std::vector<std::string> cells;
    std::stringstream in(row);
    std::string cell;
    while (std::getline(in, cell, '|')) cells.push_back(cell);
    if (index + 1 >= cells.size()) return "";
    std::string text = cells[index + 1];
    while (!text.empty() && text.front() == ' ') text.erase(0, 1);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace

std::vector<Message> CollectMessages(const std::string& source, const std::string& file) {
    return Collector(Tokenize(source), file).Run();
}

std::vector<Message> CollectMessagesUnder(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h"))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<Message> all;
    std::set<std::string> seen;
    for (const std::filesystem::path& path : files) {
        std::ifstream in(path, std::ios::binary);
        const std::string source((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
        const std::string name =
            std::filesystem::relative(path, folder.parent_path()).generic_string();
        for (Message& message : CollectMessages(source, name)) {
            if (seen.insert(message.text).second) all.push_back(std::move(message));
        }
    }
    return all;
}

std::vector<std::string> ExplainedMessages(const std::string& markdown) {
    std::vector<std::string> explained;
    std::stringstream in(markdown);
    std::string line;
    bool fenced = false;
    bool reasons = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("```", 0) == 0) fenced = !fenced;
        if (fenced) continue;
        if (line.rfind("### ", 0) == 0) explained.push_back(line.substr(4));
        if (line.rfind("|", 0) != 0) {
            reasons = false;
            continue;
        }
        const std::string first = Cell(line, 0);
        if (first == "理由") {
            reasons = true;
        } else if (reasons && first.find_first_not_of("-:") != std::string::npos) {
            explained.push_back(first);
        }
    }
    return explained;
}

bool SameMessage(const std::string& program, const std::string& guide) {
    const std::string p = WithoutBlanks(program);
    const std::string g = WithoutBlanks(guide);
    return Fits(p, g) || Fits(g, p);
}

}  // namespace lomi::messages
