#pragma once

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace lomi {

enum class OutputEncoding { Utf8, Cp932 };

// The output stream a command writes its UTF-8 text to: target itself for
// UTF-8, or a stream that writes each complete line to target in code page
// 932 ('?' for a character it cannot hold), for programs that read output
// redirected to a file in the Windows code page. A console window always
// gets characters, so there the encoding is not applied. What is left of an
// unfinished line is written when this object goes, and then, when some
// character had to become '?', a line saying so goes to notices (if given).
class EncodedOutput {
public:
    EncodedOutput(std::ostream& target, OutputEncoding encoding, std::ostream* notices = nullptr);
    ~EncodedOutput();
    EncodedOutput(const EncodedOutput&) = delete;
    EncodedOutput& operator=(const EncodedOutput&) = delete;

    std::ostream& Stream() { return *stream_; }

private:
    class LineBuffer;
    std::ostream& target_;
    std::ostream* notices_;
    std::unique_ptr<LineBuffer> buffer_;
    std::unique_ptr<std::ostream> own_;
    std::ostream* stream_;
};

}  // namespace lomi
