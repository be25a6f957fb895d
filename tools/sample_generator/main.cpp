// lomi-make-samples: writes ticket files of given patterns for the racing
// days of a period into a folder, the same bytes for the same seed.

#include <CLI/CLI.hpp>

#include <cstdint>
#include <iostream>
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
    CLI11_PARSE(app, argc, argv);

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
        lomi::samples::WriteCorpus(folder, patterns, first, last, seed, venues);
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
