#include "corpus_writer.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "ticket_file_text.h"

namespace lomi::samples {

CorpusSize WriteCorpus(const std::string& folder, const std::vector<std::string>& patterns,
                       const RaceDay& first, const RaceDay& last, std::uint64_t seed, int venues,
                       const std::map<std::string, int>& edges, int generator) {
    const std::filesystem::path out = std::filesystem::u8path(folder);
    std::filesystem::create_directories(out);
    const std::vector<RaceDay> days = RacingDays(first, last, seed);
    // Every file depends only on its day and pattern, so the days are
    // shared out among the processors; large corpora are written that much
    // sooner. Each day's races are run once for all its patterns.
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> files{0};
    std::atomic<std::uintmax_t> bytes{0};
    std::mutex failureMutex;
    std::string failure;
    const auto work = [&] {
        for (std::size_t d = next++; d < days.size(); d = next++) {
            const RacingDay racing(days[d], seed, venues, generator);
            for (const std::string& pattern : patterns) {
                const auto edge = edges.find(pattern);
                const std::string text =
                    racing.TicketFileBytes(pattern, edge == edges.end() ? 0 : edge->second);
                const auto path = out / TicketFileName(days[d], pattern);
                std::ofstream file(path, std::ios::binary | std::ios::trunc);
                file.write(text.data(), static_cast<std::streamsize>(text.size()));
                if (!file) {
                    const std::lock_guard lock(failureMutex);
                    failure = "cannot write " + path.string();
                    next = days.size();
                    return;
                }
                ++files;
                bytes += text.size();
            }
        }
    };
    {
        std::vector<std::jthread> pool;
        const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
        work();
    }
    if (!failure.empty()) throw std::runtime_error(failure);
    return CorpusSize{files.load(), bytes.load()};
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
