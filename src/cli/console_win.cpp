#include "cli/console.h"

// windows.h first: shellapi.h uses its types.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <stdio.h>

#include <algorithm>
#include <iostream>
#include <streambuf>

#include "data/wide_text.h"

namespace lomi {
namespace {

// Length of the longest prefix of text that ends on a whole UTF-8
// character, so that a character split across two writes is kept back.
std::size_t WholeCharacters(const std::string& text) {
    std::size_t end = text.size();
    std::size_t back = 0;
    while (back < 3 && back < end &&
           (static_cast<unsigned char>(text[end - 1 - back]) & 0xC0) == 0x80) {
        ++back;
    }
    if (back == end) return end;
    const auto lead = static_cast<unsigned char>(text[end - 1 - back]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return length > back + 1 ? end - 1 - back : end;
}

// A stream buffer that writes UTF-8 text to a console window as UTF-16.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        pending_.push_back(traits_type::to_char_type(c));
        if (c == '\n' || pending_.size() >= 4096) sync();
        return c;
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        if (pending_.find('\n') != std::string::npos || pending_.size() >= 4096) sync();
        return count;
    }

    int sync() override {
        const std::size_t whole = WholeCharacters(pending_);
        const std::wstring wide = Utf8ToWide(std::string_view(pending_).substr(0, whole));
        pending_.erase(0, whole);
        for (std::size_t done = 0; done < wide.size();) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
            if (!WriteConsoleW(console_, wide.data() + done, chunk, &written, nullptr) ||
                written == 0) {
                return -1;
            }
            done += written;
        }
        return 0;
    }

private:
    HANDLE console_;
    std::string pending_;
};

// Puts a console buffer under stream when handle is a console window.
void UseConsoleBuffer(std::ostream& stream, DWORD handle) {
    const HANDLE console = GetStdHandle(handle);
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode)) return;
    stream.flush();
    // Never destroyed: std::cout is flushed at exit, after static objects go.
    stream.rdbuf(new ConsoleBuffer(console));
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char* argv[]) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(WideToUtf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

void PrepareConsoleOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    UseConsoleBuffer(std::cout, STD_OUTPUT_HANDLE);
    UseConsoleBuffer(std::cerr, STD_ERROR_HANDLE);
}

bool IsConsole(const std::ostream& stream) {
    return dynamic_cast<ConsoleBuffer*>(stream.rdbuf()) != nullptr;
}

}  // namespace lomi
