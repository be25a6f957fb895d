#include "ticket_file_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "data/cp932.h"
#include "race_simulation.h"
#include "seeded_random.h"

namespace lomi::samples {
namespace {

constexpr std::array<const char*, 10> kVenueNames = {"札幌", "函館", "福島", "新潟", "東京",
                                                     "中山", "中京", "京都", "阪神", "小倉"};
constexpr std::array<const char*, 7> kWeekdays = {"日", "月", "火", "水", "木", "金", "土"};
constexpr std::string_view kIndexLetters = "TFRZWPQ";
constexpr std::array<const char*, 7> kIndexNames = {"Ｔ値",     "Ｆ値",     "Ｒ値",    "Ｚ値",
                                                    "単勝人気", "複勝人気", "仮単人気"};
constexpr int kTurfDistances[] = {10, 12, 14, 16, 17, 18, 20, 22, 24, 25, 26, 28, 30, 32, 34, 36};
constexpr int kDirtDistances[] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 24};
constexpr int kRacesPerVenue = 12;
constexpr int kBarColumn = 45;

std::uint64_t Key(const std::string& text) {
    std::uint64_t key = 1469598103934665603ull;
    for (unsigned char c : text) key = (key ^ c) * 1099511628211ull;
    return key;
}

int CharCount(const std::string& utf8) {
    int count = 0;
    for (std::size_t pos = 0; pos < utf8.size(); ++count) NextUtf8(utf8, pos);
    return count;
}

std::string Pad(const std::string& text, int width, bool right) {
    const int fill = std::max(0, width - CharCount(text));
    return right ? std::string(fill, ' ') + text : text + std::string(fill, ' ');
}

// text padded with blanks to width bytes of its encoding.
std::string PadBytes(const std::string& text, std::size_t width, bool right) {
    const std::size_t bytes = EncodeCp932(text).size();
    const std::string fill(bytes < width ? width - bytes : 0, ' ');
    return right ? fill + text : text + fill;
}

// Two digits with a leading zero; values here are 0 to 99.
std::string TwoDigits(int value) {
    return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

// The conditions of one race, the same for every pattern.
struct Race {
    int venue;  // 1..10
    int number;
    int runners;
    int age;
    int raceClass;
    int surface;
    int distance;
    bool cancelled;
};

Race MakeRace(std::uint64_t seed, const RaceDay& day, int venue, int number) {
    SeededRandom random{seed, Key(day.Compact()), static_cast<std::uint64_t>(venue),
                        static_cast<std::uint64_t>(number)};
    Race race{};
    race.venue = venue;
    race.number = number;
    race.runners = random.Percent(80) ? random.Between(10, 18) : random.Between(5, 9);
    // Early races are for the young and the low classes, late ones for the rest.
    race.age = number <= 4 ? random.Between(1, 2) : random.Between(2, 5);
    race.raceClass =
        number <= 4 ? random.Between(1, 2) : std::min(6, random.Between(2, number / 2 + 2));
    race.surface = random.Percent(55) ? 1 : 2;
    if (race.surface == 1) {
        race.distance = kTurfDistances[random.Between(0, std::size(kTurfDistances) - 1)];
    } else {
        race.distance = kDirtDistances[random.Between(0, std::size(kDirtDistances) - 1)];
    }
    race.cancelled = random.Percent(1);
    return race;
}

// A payout field: a number in units of 10 yen right-aligned, "0" for a
// ticket that lost, dashes when the bet type was not sold. Hits pay about
// `average` units, now and then much more, and `edge` percent more on top.
std::string Payout(SeededRandom& random, int width, bool hit, int average, bool sold, int edge) {
    if (!sold || random.Percent(1)) return std::string(width, '-');
    if (!hit) return Pad("0", width, true);
    int value = random.Between(std::max(10, average / 4), std::max(11, average * 7 / 4));
    if (random.Percent(3)) value *= random.Between(3, 6);
    value = value * (100 + edge) / 100;
    return Pad(std::to_string(std::min(value, width == 4 ? 9999 : 99999)), width, true);
}

// The line of a race up to its payout fields: venue and race, the ticket
// slots, the bar and the race's conditions.
std::string LineStart(const Race& race, const std::vector<std::pair<int, int>>& pairs) {
    std::string line = Pad(
        std::string(kVenueNames[race.venue - 1]) + Pad(std::to_string(race.number), 2, true) + "R",
        8, false);
    for (int slot = 0; slot < 6; ++slot) {
        if (slot < static_cast<int>(pairs.size())) {
            line += TwoDigits(pairs[slot].first) + "-" + TwoDigits(pairs[slot].second);
        } else {
            line += "     ";
        }
        line += ' ';
    }
    line += std::string(kBarColumn - 1 - CharCount(line), ' ');
    line += "| ";
    line += TwoDigits(race.venue) + TwoDigits(race.number) + TwoDigits(race.runners) +
            std::to_string(race.age) + std::to_string(race.raceClass) +
            std::to_string(race.surface) + TwoDigits(race.distance);
    return line;
}

// The tickets of a set of horses: the first with each other (流し), or
// every pair of them (ボックス); six slots at most.
std::vector<std::pair<int, int>> Pairs(std::vector<int> horses, bool box) {
    std::vector<std::pair<int, int>> pairs;
    if (box) {
        std::sort(horses.begin(), horses.end());
        for (std::size_t i = 0; i < horses.size(); ++i) {
            for (std::size_t j = i + 1; j < horses.size(); ++j)
                pairs.emplace_back(horses[i], horses[j]);
        }
    } else {
        for (std::size_t i = 1; i < horses.size(); ++i) {
            pairs.emplace_back(std::min(horses[0], horses[i]), std::max(horses[0], horses[i]));
        }
    }
    if (pairs.size() > 6) pairs.resize(6);
    return pairs;
}

// How many horses a pattern's tickets take in a race: 3 or 4 in a box,
// 2 to 6 (the axis and its partners) in a wheel.
int HorseCount(SeededRandom& random, bool box) {
    return box ? (random.Percent(70) ? 3 : 4) : random.Between(2, 6);
}

// The earlier generator: every pattern's tickets and payouts drawn on their
// own, each race once per pattern.
std::string EarlierDataLine(std::uint64_t seed, const RaceDay& day, const std::string& pattern,
                            const Race& race, int edge) {
    SeededRandom random{seed, Key(day.Compact()), Key(pattern),
                        static_cast<std::uint64_t>(race.venue),
                        static_cast<std::uint64_t>(race.number)};
    const bool box = pattern[3] == 'B';
    const int rank = pattern[1] - '0';

    // The tickets: pairs of horse numbers, six slots at most.
    std::vector<std::pair<int, int>> pairs;
    if (!race.cancelled && random.Percent(94)) {
        std::vector<int> horses;
        while (static_cast<int>(horses.size()) < HorseCount(random, box)) {
            const int horse = random.Between(1, race.runners);
            if (std::find(horses.begin(), horses.end(), horse) == horses.end())
                horses.push_back(horse);
        }
        pairs = Pairs(horses, box);
    }

    std::string line = LineStart(race, pairs);
    const bool sold = !race.cancelled;
    const bool bought = !pairs.empty();
    // The better the axis horse's rank, the likelier it wins or places; a
    // winner has also placed, and a pair that came first and second is
    // also a wide hit. Dividends are set so that a bet type returns about
    // 80% of its stake, as real betting does.
    const int pairCount = std::max(1, static_cast<int>(pairs.size()));
    const int winChance = 32 - rank * 4;
    const int placeChance = winChance + (100 - winChance) * (40 - rank * 4) / 100;
    const int quinellaChance = 6 + pairCount * 3;
    const int wideChance = quinellaChance + (100 - quinellaChance) * (8 + pairCount * 4) / 100;
    const bool win = bought && random.Percent(winChance);
    const bool place = win || (bought && random.Percent(40 - rank * 4));
    const bool quinella = bought && random.Percent(quinellaChance);
    const bool wide = quinella || (bought && random.Percent(8 + pairCount * 4));
    line += Payout(random, 4, win, 800 / winChance, sold, edge);
    line += Payout(random, 4, place, 800 / placeChance, sold, edge);
    line += Payout(random, 5, quinella, 800 * pairCount / quinellaChance, sold, edge);
    line += Payout(random, 5, wide, 800 * pairCount / wideChance, sold, edge);
    return line;
}

// A payout field of a simulated race: units of 10 yen, right-aligned.
std::string Field(std::int64_t tens, int width) {
    return Pad(std::to_string(std::min<std::int64_t>(tens, width == 4 ? 9999 : 99999)), width,
               true);
}

// The line of a pattern in a race simulated once for every pattern: its axis
// is the horse at its rank under its axis index, its partners the first
// places under its partner index, and what they paid is read from the race.
// edge raises the pattern's 連勝 and ﾜｲﾄﾞ payouts, which no other pattern
// holds in full, so patterns with its axis keep its 単勝 and 複勝.
std::string SimulatedDataLine(std::uint64_t seed, const RaceDay& day, const std::string& pattern,
                              const Race& race, const SimulatedRace& simulated, int edge) {
    if (race.cancelled) return LineStart(race, {}) + "----" + "----" + "-----" + "-----";
    SeededRandom random{seed, Key(day.Compact()), Key(pattern),
                        static_cast<std::uint64_t>(race.venue),
                        static_cast<std::uint64_t>(race.number)};
    const bool box = pattern[3] == 'B';
    const auto& axisOrder = simulated.byIndex[kIndexLetters.find(pattern[0])];
    const auto& partnerOrder = simulated.byIndex[kIndexLetters.find(pattern[2])];
    const int axis = axisOrder[static_cast<std::size_t>(pattern[1] - '1')];
    const auto count = static_cast<std::size_t>(std::min(HorseCount(random, box), race.runners));
    std::vector<int> horses{axis};
    for (std::size_t p = 0; p < partnerOrder.size() && horses.size() < count; ++p) {
        if (partnerOrder[p] != axis) horses.push_back(partnerOrder[p]);
    }
    const std::vector<std::pair<int, int>> pairs = Pairs(horses, box);

    std::int64_t quinella = 0, wide = 0;
    for (const auto& [a, b] : pairs) {
        quinella += simulated.QuinellaPayout(a, b);
        wide += simulated.WidePayout(a, b);
    }
    return LineStart(race, pairs) + Field(simulated.winPayout[axis - 1] / 10, 4) +
           Field(simulated.placePayout[axis - 1] / 10, 4) +
           Field(quinella / 10 * (100 + edge) / 100, 5) + Field(wide / 10 * (100 + edge) / 100, 5);
}

std::string HeaderLine(const RaceDay& day, const std::string& pattern) {
    const int first = static_cast<int>(kIndexLetters.find(pattern[0]));
    const int second = static_cast<int>(kIndexLetters.find(pattern[2]));
    const std::string description = std::string(kIndexNames[first]) + " " + pattern[1] + "位 - " +
                                    kIndexNames[second] +
                                    (pattern[3] == 'B' ? " ボックス" : " 流し");
    // Year in bytes 11-18 and 年; month in 49-52; day in 59-62.
    std::string line = "Kestrava  " + PadBytes(std::to_string(day.year), 8, true) + "年";
    line += PadBytes("度 Tolvik contest 馬券集計", 28, false);
    line += PadBytes(std::to_string(day.month), 4, true) + "月    ";
    line += PadBytes(std::to_string(day.day), 4, true) + "日(" + kWeekdays[day.weekday] + ")  ";
    line += description;
    return line;
}

std::vector<int> DayVenues(std::uint64_t seed, const RaceDay& day, int venues) {
    SeededRandom random{seed, Key(day.Compact()), Key("venues")};
    const int count = venues > 0 ? venues : (random.Percent(60) ? 3 : 2);
    std::vector<int> chosen;
    while (static_cast<int>(chosen.size()) < count) {
        const int venue = random.Between(1, 10);
        if (std::find(chosen.begin(), chosen.end(), venue) == chosen.end()) chosen.push_back(venue);
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

void AppendLine(std::string& bytes, const std::string& line) {
    // ASCII is its own code page 932 encoding; only the rest (venue names,
    // the header's words) goes through the encoder. A large corpus has
    // millions of lines.
    std::size_t start = 0;
    while (start < line.size()) {
        std::size_t end = start;
        while (end < line.size() && static_cast<unsigned char>(line[end]) < 0x80) ++end;
        bytes.append(line, start, end - start);
        if (end == line.size()) break;
        std::size_t next = end;
        while (next < line.size() && static_cast<unsigned char>(line[next]) >= 0x80) ++next;
        bool representable = true;
        bytes += EncodeCp932(std::string_view(line).substr(end, next - end), &representable);
        if (!representable) throw std::logic_error("not code page 932: " + line);
        start = next;
    }
    bytes += "\r\n";
}

}  // namespace

bool IsPatternCode(const std::string& code) {
    return code.size() == 4 && kIndexLetters.find(code[0]) != std::string_view::npos &&
           code[1] >= '1' && code[1] <= '5' &&
           kIndexLetters.find(code[2]) != std::string_view::npos &&
           (code[3] == 'N' || code[3] == 'B');
}

std::string TicketFileName(const RaceDay& day, const std::string& pattern) {
    return "P" + day.Compact() + pattern + ".txt";
}

struct RacingDay::Races {
    RaceDay day;
    std::uint64_t seed = 0;
    int generator = kLatestGenerator;
    std::vector<Race> races;
    std::vector<SimulatedRace> simulated;  // one per race, the latest generator only
};

RacingDay::RacingDay(const RaceDay& day, std::uint64_t seed, int venues, int generator)
    : races_(std::make_unique<Races>()) {
    if (generator != kEarlierGenerator && generator != kLatestGenerator) {
        throw std::invalid_argument("no sample generator " + std::to_string(generator));
    }
    races_->day = day;
    races_->seed = seed;
    races_->generator = generator;
    for (int venue : DayVenues(seed, day, venues)) {
        // The going: some venues' days are more open than others, for every race.
        SeededRandom going{seed, Key(day.Compact()), static_cast<std::uint64_t>(venue),
                           Key("going")};
        const double luck = 0.75 + 0.6 * going.Between(0, 999) / 1000.0;
        for (int number = 1; number <= kRacesPerVenue; ++number) {
            races_->races.push_back(MakeRace(seed, day, venue, number));
            if (generator == kEarlierGenerator) continue;
            SeededRandom random{seed, Key(day.Compact()), static_cast<std::uint64_t>(venue),
                                static_cast<std::uint64_t>(number), Key("race")};
            races_->simulated.push_back(SimulateRace(random, races_->races.back().runners, luck));
        }
    }
}

RacingDay::~RacingDay() = default;
RacingDay::RacingDay(RacingDay&&) noexcept = default;

std::string RacingDay::TicketFileBytes(const std::string& pattern, int edge) const {
    const Races& r = *races_;
    std::string bytes;
    AppendLine(bytes, HeaderLine(r.day, pattern));
    AppendLine(bytes, "ﾚｰｽ    買い目" + std::string(34, ' ') + "場R 頭齢ｸ馬距 単勝複勝 連勝 ﾜｲﾄﾞ");
    for (std::size_t i = 0; i < r.races.size(); ++i) {
        if (i % kRacesPerVenue == 0) AppendLine(bytes, "");
        AppendLine(bytes, r.generator == kEarlierGenerator
                              ? EarlierDataLine(r.seed, r.day, pattern, r.races[i], edge)
                              : SimulatedDataLine(r.seed, r.day, pattern, r.races[i],
                                                  r.simulated[i], edge));
    }
    return bytes;
}

std::string TicketFileBytes(const RaceDay& day, const std::string& pattern, std::uint64_t seed,
                            int venues, int edge, int generator) {
    return RacingDay(day, seed, venues, generator).TicketFileBytes(pattern, edge);
}

}  // namespace lomi::samples
