#include "cli/report_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <map>
#include <ostream>

#include "tally/condition_names.h"
#include "tally/selector_items.h"

namespace lomi {
namespace {

constexpr const char* kProgram = "lomi-report";

// A whole decimal number with an optional sign, nothing else: "08" is 8,
// never octal, and "1.5" or "abc" are refused.
std::optional<std::int32_t> ParseCode(const std::string& text) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// YYYY-MM-DD, the form of the date selector's items.
bool IsDateText(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!IsDigit(text[i])) return false;
    }
    return true;
}

std::string Description() {
    return "lomi-report " LOMI_VERSION
           ": tallies the ticket files of one betting pattern and prints the report\n"
           "買い目ファイルを集計し、投票・払戻・損益・回収率・的中率・平均配当を表示します。\n";
}

// "1=札幌 2=函館 …": the codes of a name table, as the selectors name them.
std::string CodeList(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += ' ';
        text += std::to_string(i + 1) + "=" + names[i];
    }
    return text;
}

// "T=Ｔ値 F=Ｆ値 …": the letters of the pattern codes and their names.
std::string LetterList(std::string_view letters, const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < letters.size() && i < names.size(); ++i) {
        if (i > 0) text += ' ';
        text += std::string(1, letters[i]) + "=" + names[i];
    }
    return text;
}

std::string Footer() {
    return "Pattern code (パターン), four characters as in the file names (P*Q1RN.txt):\n"
           "  1 axis index 軸馬の指数      " +
           LetterList(IndexKindCodes, IndexKindNames()) +
           "\n"
           "  2 axis rank  軸馬の順位      1..5 (１位..５位)\n"
           "  3 partners   ひもの指数      T F R Z W P Q as above\n"
           "  4 bet style  買い方          " +
           LetterList(BetStyleCodes, BetStyleNames()) +
           "\n"
           "\n"
           "Condition codes (条件):\n"
           "  venue " +
           CodeList(VenueNames()) + "\n  age " + CodeList(AgeNames()) + "\n  class " +
           CodeList(ClassNames()) + "\n  surface " + CodeList(SurfaceNames()) +
           "; distance in hundreds of metres (16 = 1600m).\n"
           "  0 or absent means 全抽出 (no restriction). --from and --to narrow the races to a\n"
           "  period (both dates counted).\n"
           "\n"
           "Without --folder and --pattern the data folder (PATH) and the pattern (CON1..CON4)\n"
           "come from the settings file Lomi.ini, as the window reads them: beside the program\n"
           "when it can be written there, otherwise $XDG_CONFIG_HOME/lomi/Lomi.ini\n"
           "(~/.config/lomi/Lomi.ini). --show-settings names the file.\n"
           "\n"
           "--all-patterns ranks every pattern found in the folder under the conditions,\n"
           "  highest recovery rate of the --bet first, with a 95% interval (Student's t, each\n"
           "  race day that bet one sample), its lower end corrected for all the patterns\n"
           "  ranked by a bootstrap over race days (補正下限; * above 100%), the recovery to\n"
           "  expect from now on (期待回収率, --sort expected) and its chance of beating 100%\n"
           "  (100%超確率), and the maximum drawdown; below the table, the\n"
           "  probability that the best pattern is luck (PBO, by cross-validation over 16\n"
           "  blocks of race days). With --split the ranking is by the races before the date\n"
           "  and the later races' recovery is shown beside it.\n"
           "The maximum drawdown, here and with --series, is the largest fall of the\n"
           "  cumulative profit taken after each race day.\n"
           "\n"
           "Exit status: 0 report printed, 1 FILE NOT FOUND. / FILE NOT OPEN. / read error,\n"
           "2 usage error.\n"
           "\n"
           "Example: lomi-report --folder samples --pattern Q1RN --venue 5 --runners 16 "
           "--or-more\n"
           "\n"
           "Guide (使い方, in Japanese): lomi --guide, or ﾍﾙﾌﾟ → 使い方 (F1) in the window; "
#ifdef _WIN32
           "its pages are in the guide folder beside lomi.exe.\n";
#else
           "its pages are in /usr/share/doc/lomi/guide.\n";
#endif
}

std::string InvalidPatternMessage(const std::string& code) {
    return "invalid pattern code '" + code +
           "': give four characters, axis index (T F R Z W P Q), axis rank (1-5), partner "
           "index (T F R Z W P Q) and bet style (N B), for example Q1RN";
}

}  // namespace

std::string ShortUsage() {
    return "Usage: lomi-report [--folder DIR] [--pattern CODE] [conditions] [--from YYYY-MM-DD]\n"
           "                   [--to YYYY-MM-DD] [--by AXIS | --series] [--json | --csv]\n"
           "       lomi-report --all-patterns [--folder DIR] [conditions] [--split YYYY-MM-DD]\n"
           "                   [--bet win|place|quinella|wide] [--min-races N]\n"
           "                   [--sort recovery|expected] [--json | --csv]\n"
           "       lomi-report --show-settings | --help | --version\n";
}

ParsedArguments ParseReportArguments(int argc, const char* const argv[], std::ostream& out,
                                     std::ostream& err) {
    CLI::App app(Description(), kProgram);
    app.footer(Footer());
    app.set_help_flag("-h,--help", "ヘルプ: show this help");
    app.set_version_flag("--version", std::string(kProgram) + " " LOMI_VERSION,
                         "バージョン: show the version");

    ReportOptions options;
    std::string folder;
    std::string pattern;
    std::string date;
    struct CodeOption {
        const char* name;
        Condition condition;
        const char* help;
        std::int32_t* target;
        std::string text;
    };
    CodeOption codes[] = {
        {"--venue", Condition::Venue, "venue code 1-10", &options.conditions.venue, {}},
        {"--race", Condition::Race, "race number 1-12", &options.conditions.race, {}},
        {"--runners",
         Condition::Runners,
         "number of runners 1-18",
         &options.conditions.runners,
         {}},
        {"--age", Condition::Age, "age condition code 1-5", &options.conditions.age, {}},
        {"--class", Condition::Class, "class code 1-6", &options.conditions.raceClass, {}},
        {"--surface",
         Condition::Surface,
         "track surface code 1-2",
         &options.conditions.surface,
         {}},
        {"--distance",
         Condition::Distance,
         "distance in hundreds of metres",
         &options.conditions.distance,
         {}},
    };
    bool orMore = false;

    const std::string data = "Data (データ)";
    const std::string conditions = "Conditions (条件)";
    const std::string output = "Output (出力)";
    app.add_option("--folder", folder,
                   "ﾌｫﾙﾀﾞ: folder of the ticket files (default: PATH in Lomi.ini)")
        ->type_name("DIR")
        ->group(data);
    app.add_option("--pattern", pattern,
                   "パターン: pattern code such as Q1RN (default: CON1..CON4 in Lomi.ini)")
        ->type_name("CODE")
        ->group(data);
    app.add_flag("--no-cache", options.noCache,
                 "キャッシュ: read every file from the folder, neither using nor writing the "
                 "record cache")
        ->group(data);
    app.add_flag("--rebuild-cache", options.rebuildCache,
                 "キャッシュ: read every file from the folder and write the record cache afresh")
        ->group(data)
        ->excludes("--no-cache");
    for (CodeOption& code : codes) {
        app.add_option(code.name, code.text,
                       std::string(ConditionName(code.condition)) + ": " + code.help)
            ->type_name("N")
            ->group(conditions);
    }
    app.add_flag("--or-more", orMore, "以上: that many runners or more (with --runners)")
        ->group(conditions);
    app.add_option(
           "--date", date,
           std::string(ConditionName(Condition::Date)) + ": race date, for example 2001-04-15")
        ->type_name("YYYY-MM-DD")
        ->group(conditions);
    std::string from;
    std::string to;
    app.add_option("--from", from, "期間: first race date counted, for example 2001-04-01")
        ->type_name("YYYY-MM-DD")
        ->group(conditions);
    app.add_option("--to", to, "期間: last race date counted, for example 2001-06-30")
        ->type_name("YYYY-MM-DD")
        ->group(conditions);
    app.add_flag("--json", options.json,
                 "JSON: one object with mask, files, records, lists, selectors, tally, report")
        ->group(output);
    // Breakdown, profit series and CSV.
    std::string by;
    app.add_option("--by", by,
                   "内訳: the tally split by venue, race, runners, age, class, surface, "
                   "distance, year or month")
        ->type_name("AXIS")
        ->group(output);
    app.add_flag("--series", options.series,
                 "損益推移: cumulative profit of each bet type after every race day")
        ->group(output);
    app.add_flag("--csv", options.csv, "CSV: the figures as CSV rows (RFC 4180)")->group(output);
    app.add_flag("--show-settings", options.showSettings,
                 "設定: print PATH and CON1..CON4 as read from Lomi.ini, and that file's name")
        ->group(output);
    const std::map<std::string, OutputEncoding> encodings = {{"utf-8", OutputEncoding::Utf8},
                                                             {"cp932", OutputEncoding::Cp932}};
    app.add_option("--encoding", options.encoding,
                   "文字コード: utf-8 (default) or cp932, for output redirected to a file")
        ->type_name("NAME")
        ->transform(CLI::CheckedTransformer(encodings, CLI::ignore_case))
        ->group(output);

    // The ranking of every pattern and its own options.
    const std::string ranking = "All patterns (全パターン)";
    std::string split;
    std::string bet;
    std::string sort;
    app.add_flag("--all-patterns", options.allPatterns,
                 "全パターン: rank every pattern of the folder by recovery rate")
        ->group(ranking);
    app.add_option("--split", split,
                   "検証: rank by the races before this date, show the later ones beside them")
        ->type_name("YYYY-MM-DD")
        ->group(ranking);
    app.add_option("--bet", bet, "券種: bet type ranked, win place quinella wide (default win)")
        ->type_name("TYPE")
        ->group(ranking);
    app.add_option("--min-races", options.minRaces,
                   "最低ﾚｰｽ数: leave out patterns with fewer counted races (default 0)")
        ->type_name("N")
        ->check(CLI::NonNegativeNumber)
        ->group(ranking);
    app.add_option("--sort", sort,
                   "順序: recovery (回収率, default) or expected (期待回収率), highest first")
        ->type_name("ORDER")
        ->group(ranking);

    const auto usageError = [&](const std::string& message) {
        err << kProgram << ": " << message << "\n"
            << ShortUsage() << "Run '" << kProgram << " --help' for more information.\n";
        return ParsedArguments{std::nullopt, kExitUsage};
    };

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return ParsedArguments{std::nullopt, kExitOk};
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return ParsedArguments{std::nullopt, kExitOk};
    } catch (const CLI::ParseError& error) {
        return usageError(error.what());
    }

    if (app.count("--folder") > 0) {
        if (folder.empty()) return usageError("--folder needs a folder name");
        options.folder = folder;
    }
    if (app.count("--pattern") > 0) {
        options.pattern = ParsePatternCode(pattern);
        if (!options.pattern) return usageError(InvalidPatternMessage(pattern));
    }
    for (CodeOption& code : codes) {
        if (app.count(code.name) == 0) continue;
        const auto value = ParseCode(code.text);
        if (!value) {
            return usageError(std::string(code.name) + " needs a whole number, not '" + code.text +
                              "'");
        }
        *code.target = *value;
    }
    options.conditions.runnersOrMore = orMore ? 1 : 0;
    if (app.count("--date") > 0 && date != kAllRaces) {
        if (!IsDateText(date)) {
            return usageError("--date needs a date such as 2001-04-15, not '" + date + "'");
        }
        options.conditions.date = date;
    }
    struct PeriodEnd {
        const char* name;
        const std::string& text;
        std::string& target;
    };
    for (const PeriodEnd end : {PeriodEnd{"--from", from, options.conditions.firstDate},
                                PeriodEnd{"--to", to, options.conditions.lastDate}}) {
        if (app.count(end.name) == 0) continue;
        if (!IsDateText(end.text)) {
            return usageError(std::string(end.name) + " needs a date such as 2001-04-15, not '" +
                              end.text + "'");
        }
        end.target = end.text.substr(0, 4) + end.text.substr(5, 2) + end.text.substr(8, 2);
    }
    if (!options.conditions.firstDate.empty() && !options.conditions.lastDate.empty() &&
        options.conditions.firstDate > options.conditions.lastDate) {
        return usageError("--from " + from + " is after --to " + to);
    }
    if (options.json && options.csv) return usageError("give --json or --csv, not both");

    if (options.allPatterns) {
        if (options.pattern) return usageError("--all-patterns ranks every pattern: no --pattern");
        if (app.count("--split") > 0) {
            if (!IsDateText(split)) {
                return usageError("--split needs a date such as 2001-04-15, not '" + split + "'");
            }
            options.splitDate = split.substr(0, 4) + split.substr(5, 2) + split.substr(8, 2);
        }
        if (app.count("--bet") > 0) {
            const auto key = std::find(kBetKeys.begin(), kBetKeys.end(), bet);
            if (key == kBetKeys.end()) {
                return usageError("--bet needs win, place, quinella or wide, not '" + bet + "'");
            }
            options.bet = kBetTypes[static_cast<std::size_t>(key - kBetKeys.begin())];
        }
        if (app.count("--sort") > 0) {
            if (sort != "recovery" && sort != "expected") {
                return usageError("--sort needs recovery or expected, not '" + sort + "'");
            }
            options.sortByExpected = sort == "expected";
        }
    } else {
        for (const char* name : {"--split", "--bet", "--min-races", "--sort"}) {
            if (app.count(name) > 0) return usageError(std::string(name) + " needs --all-patterns");
        }
    }
    if (app.count("--by") > 0) {
        options.by = AxisFromKey(by);
        if (!options.by) {
            return usageError(
                "--by needs venue, race, runners, age, class, surface, distance, "
                "year or month, not '" +
                by + "'");
        }
        if (options.series) return usageError("--by and --series cannot be given together");
    }
    if (options.allPatterns && (options.by || options.series)) {
        return usageError("--all-patterns ranks patterns: give --by or --series without it");
    }
    return ParsedArguments{options, kExitOk};
}

}  // namespace lomi
