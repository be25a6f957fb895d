#include "corpus_writer.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "ticket_file_text.h"

namespace lomi::samples {

CorpusSize WriteCorpus(const std::string& folder, const std::vector<std::string>& patterns,
                       const RaceDay& first, const RaceDay& last, std::uint64_t seed, int venues) {
    const std::filesystem::path out = std::filesystem::u8path(folder);
    std::filesystem::create_directories(out);
    CorpusSize size;
    for (const RaceDay& day : RacingDays(first, last, seed)) {
        for (const std::string& pattern : patterns) {
            const std::string text = TicketFileBytes(day, pattern, seed, venues);
            const auto path = out / TicketFileName(day, pattern);
            std::ofstream file(path, std::ios::binary | std::ios::trunc);
            file.write(text.data(), static_cast<std::streamsize>(text.size()));
            if (!file) throw std::runtime_error("cannot write " + path.string());
            ++size.files;
            size.bytes += text.size();
        }
    }
    return size;
}

RaceDay LastDayOfYears(const RaceDay& first, int years) {
    RaceDay last = first;
    last.year += years;
    last.day -= 1;
    if (last.day == 0) {
        last.month -= 1;
        if (last.month == 0) last.month = 12, last.year -= 1;
        last.day = 31;
        while (!ParseDate(std::to_string(last.year * 10000 + last.month * 100 + last.day), last)) {
            --last.day;
        }
    }
    return last;
}

}  // namespace lomi::samples
