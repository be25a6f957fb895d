#include "data/file_mask.h"

namespace lomi {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool MatchesFileMask(std::string_view name, std::string_view mask) {
    // Greedy match that backtracks only to the last '*': linear for masks
    // with one star, never exponential.
    std::size_t n = 0;
    std::size_t m = 0;
    std::size_t starMask = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && Upper(mask[m]) == Upper(name[n])) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

std::string FileOrderKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) c = Upper(c);
    return key;
}

}  // namespace lomi
