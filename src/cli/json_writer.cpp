#include "cli/json_writer.h"

namespace lomi {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::size_t kIndent = 2;
constexpr std::size_t kBufferBytes = 1 << 16;

std::string Dumped(const Json& value) {
    return value.dump(kIndent, ' ', false, Json::error_handler_t::replace);
}

// Printable ASCII without quote or backslash: written as it is.
bool NeedsNoEscape(std::string_view text) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x80 || c == '"' || c == '\\') return false;
    }
    return true;
}

}  // namespace

JsonWriter::JsonWriter(std::ostream& out) : out_(out) { buffer_.reserve(kBufferBytes + 4096); }

JsonWriter::~JsonWriter() { Flush(); }

void JsonWriter::Put(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kBufferBytes) Flush();
}

void JsonWriter::Flush() {
    if (buffer_.empty()) return;
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
}

void JsonWriter::Indent(std::size_t depth) { buffer_.append(depth * kIndent, ' '); }

// Every value in an array, and every member of an object, starts on its
// own line, one step further in than its container.
void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty()) return;
    Level& level = levels_.back();
    Put(level.count++ == 0 ? "\n" : ",\n");
    Indent(levels_.size());
}

void JsonWriter::Key(std::string_view key) {
    BeforeValue();
    Quoted(key);
    Put(": ");
    afterKey_ = true;
}

void JsonWriter::BeginObject() {
    BeforeValue();
    Put("{");
    levels_.push_back({false, 0});
}

void JsonWriter::BeginArray() {
    BeforeValue();
    Put("[");
    levels_.push_back({true, 0});
}

void JsonWriter::EndObject() {
    const Level level = levels_.back();
    levels_.pop_back();
    if (level.count > 0) {
        Put("\n");
        Indent(levels_.size());
    }
    Put("}");
}

void JsonWriter::EndArray() {
    const Level level = levels_.back();
    levels_.pop_back();
    if (level.count > 0) {
        Put("\n");
        Indent(levels_.size());
    }
    Put("]");
}

void JsonWriter::Value(const Json& value) {
    BeforeValue();
    // A dump starts at the left margin; every line after its first moves
    // in to this depth. Texts hold no raw line break (it is escaped).
    const std::string text = Dumped(value);
    const std::string margin(levels_.size() * kIndent, ' ');
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        buffer_.append(text, start, end + 1 - start);
        buffer_.append(margin);
    }
    Put(std::string_view(text).substr(start));
}

void JsonWriter::String(std::string_view text) {
    BeforeValue();
    Quoted(text);
}

void JsonWriter::Quoted(std::string_view text) {
    if (NeedsNoEscape(text)) {
        buffer_ += '"';
        buffer_.append(text);
        buffer_ += '"';
        if (buffer_.size() >= kBufferBytes) Flush();
        return;
    }
    Put(Dumped(Json(std::string(text))));
}

void JsonWriter::Finish() {
    Put("\n");
    Flush();
}

std::string DumpJson(const Json& value) { return Dumped(value) + "\n"; }

}  // namespace lomi
