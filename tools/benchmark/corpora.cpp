#include "corpora.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "corpus_writer.h"

namespace lomi::bench {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFirstDay = "2001-01-01";
constexpr std::uint64_t kSeed = 1;
// Hidden, so the folder listing of a load never sees it.
constexpr const char* kStamp = ".lomi-benchmark-corpus";

std::string Description(const Corpus& corpus) {
    std::ostringstream text;
    // The generator's version: a corpus of an earlier generator is written anew.
    text << "generator " << samples::kLatestGenerator << "; from " << kFirstDay << "; years "
         << corpus.years << "; seed " << kSeed << "; patterns";
    for (const std::string& pattern : corpus.patterns) text << ' ' << pattern;
    return text.str();
}

std::string ReadStamp(const fs::path& folder) {
    std::ifstream file(folder / kStamp);
    std::string line;
    std::getline(file, line);
    return line;
}

}  // namespace

Corpus PatternYears(const std::string& work, int years) {
    Corpus corpus;
    corpus.name = "years-" + std::to_string(years);
    corpus.patterns = {"Q1RN"};
    corpus.years = years;
    corpus.folder = (fs::u8path(work) / corpus.name).string();
    corpus.mask = "P*Q1RN.txt";
    return corpus;
}

Corpus MillionRecords(const std::string& work) {
    Corpus corpus;
    corpus.name = "million";
    corpus.patterns = {"Q1RN", "T1FN", "F2RB", "R3ZN", "Z1TB", "W1PN", "P2QB", "Q3TN",
                       "T5PB", "F1QN", "R2WB", "Z4FN", "W3RN", "P1TB", "Q5ZB"};
    corpus.years = 20;
    corpus.folder = (fs::u8path(work) / corpus.name).string();
    corpus.mask = "P*.txt";
    return corpus;
}

Corpus AllPatterns(const std::string& work) {
    Corpus corpus;
    corpus.name = "all-patterns-10";
    for (const char axis : std::string_view("TFRZWPQ")) {
        for (const char rank : std::string_view("12345")) {
            for (const char partner : std::string_view("TFRZWPQ")) {
                for (const char style : std::string_view("NB")) {
                    corpus.patterns.push_back({axis, rank, partner, style});
                }
            }
        }
    }
    corpus.years = 10;
    corpus.folder = (fs::u8path(work) / corpus.name).string();
    corpus.mask = "P*.txt";
    return corpus;
}

bool EnsureCorpus(const Corpus& corpus) {
    const fs::path folder = fs::u8path(corpus.folder);
    const std::string wanted = Description(corpus);
    if (fs::exists(folder)) {
        const bool stamped = fs::exists(folder / kStamp);
        if (stamped && ReadStamp(folder) == wanted) return false;
        if (!stamped && !fs::is_empty(folder)) {
            throw std::runtime_error(corpus.folder +
                                     " holds files this benchmark did not write; "
                                     "choose another --work folder");
        }
        fs::remove_all(folder);
    }
    std::cerr << "writing " << corpus.folder << " ..." << std::flush;
    samples::RaceDay first{};
    samples::ParseDate(kFirstDay, first);
    const samples::CorpusSize size = samples::WriteCorpus(
        corpus.folder, corpus.patterns, first, samples::LastDayOfYears(first, corpus.years), kSeed,
        0, {}, samples::kLatestGenerator);
    std::ofstream(folder / kStamp) << wanted << "\n";
    std::cerr << " " << size.files << " files\n";
    return true;
}

}  // namespace lomi::bench
