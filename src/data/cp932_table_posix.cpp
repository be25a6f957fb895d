#include "data/cp932_table.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <memory>
#include <stdexcept>

namespace lomi {
namespace {

// "CP932" is glibc's name for the Windows table; "SHIFT_JIS" is a different
// table (0x5C is the yen sign there, 0x8160 another wave dash).
constexpr const char* kCodePage = "CP932";

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of in; returns the number of output bytes, or -1 when the
    // input is not one complete, valid sequence.
    int Convert(const void* in, std::size_t inSize, void* out, std::size_t outSize) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = static_cast<char*>(const_cast<void*>(in));
        char* outPtr = static_cast<char*>(out);
        std::size_t inLeft = inSize;
        std::size_t outLeft = outSize;
        lastError_ = 0;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            lastError_ = errno;
            return -1;
        }
        if (inLeft != 0) return -1;
        return static_cast<int>(outSize - outLeft);
    }
    int LastError() const { return lastError_; }

private:
    iconv_t cd_;
    int lastError_ = 0;
};

// Decodes bytes to a single UTF-32 code point, or returns false.
bool DecodeOne(Converter& decoder, const unsigned char* bytes, std::size_t size, char32_t& out) {
    char32_t buffer[4];
    const int produced = decoder.Convert(bytes, size, buffer, sizeof buffer);
    if (produced != static_cast<int>(sizeof(char32_t))) return false;
    out = buffer[0];
    return out <= 0xFFFF;
}

std::unique_ptr<Cp932Table> BuildTable() {
    auto table = std::make_unique<Cp932Table>();
    Converter decoder("UTF-32LE", kCodePage);
    Converter encoder(kCodePage, "UTF-32LE");

    for (int b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        char32_t c = 0;
        if (DecodeOne(decoder, &byte, 1, c)) {
            table->single[b] = static_cast<char16_t>(c);
            table->singleValid[b] = true;
        } else if (decoder.LastError() == EINVAL) {
            // An incomplete sequence: the byte starts a two-byte character.
            table->isLead[b] = true;
        }
    }
    for (int lead = 0x80; lead < 256; ++lead) {
        if (!table->isLead[lead]) continue;
        for (int trail = 0; trail < 256; ++trail) {
            const unsigned char bytes[2] = {static_cast<unsigned char>(lead),
                                            static_cast<unsigned char>(trail)};
            char32_t c = 0;
            if (DecodeOne(decoder, bytes, 2, c) && c != 0) {
                table->pair[(lead - 0x80) * 256 + trail] = static_cast<char16_t>(c);
            }
        }
    }
    FillEncodeTable(
        *table,
        [](char32_t c, void* context) -> std::uint16_t {
            unsigned char out[8];
            const int produced =
                static_cast<Converter*>(context)->Convert(&c, sizeof c, out, sizeof out);
            if (produced == 1) return out[0];
            if (produced == 2) return static_cast<std::uint16_t>(out[0] << 8 | out[1]);
            return 0;
        },
        &encoder);
    return table;
}

}  // namespace

const Cp932Table& GetCp932Table() {
    static const std::unique_ptr<Cp932Table> table = BuildTable();
    return *table;
}

}  // namespace lomi
