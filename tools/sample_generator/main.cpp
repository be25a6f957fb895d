// lomi-make-samples: writes ticket files of given patterns for the racing
// days of a period into a folder, the same bytes for the same seed.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "corpus_writer.h"
#include "ticket_file_text.h"

namespace {

using lomi::samples::RaceDay;

int Run(int argc, char** argv) {
    CLI::App app{"Writes realistic ticket files (code page 932, CR LF) for testing and measuring."};
    std::string folder;
    std::vector<std::string> patterns{"Q1RN"};
    std::string from = "2001-04-07";
    std::string to = "2001-05-06";
    int years = 0;
    int venues = 0;
    std::uint64_t seed = 1;
    std::vector<std::string> edgeTexts;
    int generator = lomi::samples::kLatestGenerator;
    app.add_option("folder", folder, "Folder to write into (created when missing)")->required();
    app.add_option("-p,--pattern", patterns, "Pattern codes, e.g. Q1RN T5PB (default Q1RN)");
    app.add_option("--from", from, "First day, YYYY-MM-DD (default 2001-04-07)");
    app.add_option("--to", to, "Last day, YYYY-MM-DD (default 2001-05-06)");
    app.add_option(
        "--years", years,
        "Large corpus: this many whole years from --from (about 110 racing days a year)");
    app.add_option("--venues", venues, "Venues a day, 12 races each (default: 2 or 3 by the seed)")
        ->check(CLI::Range(0, 10));
    app.add_option("--seed", seed, "Seed (default 1)");
    app.add_option("--edge", edgeTexts,
                   "CODE:PERCENT raises that pattern's payouts by PERCENT (e.g. Q1RN:40), "
                   "planting an edge over the other patterns (its 連勝 and ﾜｲﾄﾞ payouts; "
                   "every payout with --generator 1)");
    app.add_option("--generator", generator,
                   "2 (default): each race run once, every pattern's line read from it; "
                   "1: the earlier draws, each pattern on its own (the bundled samples/)")
        ->check(CLI::Range(lomi::samples::kEarlierGenerator, lomi::samples::kLatestGenerator));
    CLI11_PARSE(app, argc, argv);

    std::map<std::string, int> edges;
    for (const std::string& text : edgeTexts) {
        const std::size_t colon = text.find(':');
        const std::string code = text.substr(0, colon);
        int percent = 0;
        std::size_t used = 0;
        try {
            if (colon != std::string::npos) percent = std::stoi(text.substr(colon + 1), &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (colon == std::string::npos || used == 0 || used != text.size() - colon - 1 ||
            !lomi::samples::IsPatternCode(code) || percent < -100 || percent > 1000) {
            std::cerr << "not CODE:PERCENT (-100 to 1000): " << text << "\n";
            return 2;
        }
        edges[code] = percent;
        if (std::find(patterns.begin(), patterns.end(), code) == patterns.end()) {
            patterns.push_back(code);
        }
    }

    for (const std::string& pattern : patterns) {
        if (!lomi::samples::IsPatternCode(pattern)) {
            std::cerr << "not a pattern code: " << pattern << "\n";
            return 2;
        }
    }
    RaceDay first{}, last{};
    if (!lomi::samples::ParseDate(from, first)) {
        std::cerr << "not a date: " << from << "\n";
        return 2;
    }
    if (years > 0) {
        last = lomi::samples::LastDayOfYears(first, years);
    } else if (!lomi::samples::ParseDate(to, last)) {
        std::cerr << "not a date: " << to << "\n";
        return 2;
    }

    const lomi::samples::CorpusSize size =
        lomi::samples::WriteCorpus(folder, patterns, first, last, seed, venues, edges, generator);
    std::cout << size.files << " files, " << size.bytes << " bytes in " << folder << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
}
