#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace lomi {

// JSON written as it is produced, laid out byte for byte as nlohmann's
// dump with an indent of two lays out the whole document, so that a large
// output never stands in memory at once. Texts that are not valid UTF-8
// get U+FFFD, as the dump's replace handler gives them. Output goes
// through a buffer; Finish (or the destructor) writes the rest.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out);
    ~JsonWriter();
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // A member's name, inside an object; its value follows.
    void Key(std::string_view key);
    // A whole value of any size that is already at hand.
    void Value(const nlohmann::ordered_json& value);
    // A text, quickly when it needs no escaping.
    void String(std::string_view text);
    // The closing line end, and everything written out.
    void Finish();

private:
    void BeforeValue();
    void Quoted(std::string_view text);
    void Indent(std::size_t depth);
    void Put(std::string_view text);
    void Flush();

    std::ostream& out_;
    std::string buffer_;
    struct Level {
        bool array;
        std::size_t count;
    };
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

// value as the dump gives it at the top level, ending in a newline.
std::string DumpJson(const nlohmann::ordered_json& value);

}  // namespace lomi
