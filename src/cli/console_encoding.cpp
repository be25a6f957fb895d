#include "cli/console_encoding.h"

#include "cli/console.h"
#include "data/cp932.h"

namespace lomi {

// Collects UTF-8 text and writes it re-encoded a whole line at a time, so a
// character is never split and a reader never sees half a line.
class EncodedOutput::LineBuffer : public std::streambuf {
public:
    explicit LineBuffer(std::ostream& target) : target_(target) {}
    ~LineBuffer() override { Finish(); }

    // Writes what is left of an unfinished line.
    void Finish() { Write(pending_.size()); }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        pending_.push_back(traits_type::to_char_type(c));
        if (c == '\n') Write(pending_.size());
        return c;
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        const std::size_t end = pending_.rfind('\n');
        if (end != std::string::npos) Write(end + 1);
        return count;
    }

    int sync() override { return target_.flush() ? 0 : -1; }

public:
    bool Replaced() const { return replaced_; }

private:
    void Write(std::size_t length) {
        if (length == 0) return;
        bool representable = true;
        target_ << EncodeCp932(std::string_view(pending_).substr(0, length), &representable);
        replaced_ = replaced_ || !representable;
        pending_.erase(0, length);
    }

    std::ostream& target_;
    std::string pending_;
    bool replaced_ = false;
};

EncodedOutput::EncodedOutput(std::ostream& target, OutputEncoding encoding, std::ostream* notices)
    : target_(target), notices_(notices), stream_(&target) {
    if (encoding == OutputEncoding::Utf8 || IsConsole(target)) return;
    buffer_ = std::make_unique<LineBuffer>(target);
    own_ = std::make_unique<std::ostream>(buffer_.get());
    stream_ = own_.get();
}

EncodedOutput::~EncodedOutput() {
    own_.reset();
    if (buffer_) {
        buffer_->Finish();
        const bool replaced = buffer_->Replaced();
        buffer_.reset();
        if (replaced && notices_ != nullptr) {
            *notices_ << "lomi-report: code page 932 で表せない文字を ? にしました\n";
        }
    }
    target_.flush();
}

}  // namespace lomi
