#include "cli/report_command.h"

#include <memory>
#include <ostream>
#include <string>
#include <utility>

#include "analysis/figure_table.h"
#include "analysis/pattern_analysis.h"
#include "cli/breakdown_command.h"
#include "cli/ranking_command.h"
#include "cli/report_json.h"
#include "cli/report_options.h"
#include "data/folder_listing.h"
#include "data/task_failure.h"
#include "settings/settings.h"
#include "settings/settings_location.h"
#include "settings/user_folders.h"

namespace lomi {
namespace {

// The report box keeps CR LF; a terminal and a pipe want LF.
std::string WithLfLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

std::string SelectionsText(const ProgramState& state) {
    return "CON1=" + std::to_string(state.Pattern.axisIndex) +
           " CON2=" + std::to_string(state.Pattern.axisRank) +
           " CON3=" + std::to_string(state.Pattern.partnerIndex) +
           " CON4=" + std::to_string(state.Pattern.betStyle);
}

void PrintSettings(const ProgramState& state, const SettingsLocation& location, std::ostream& out) {
    out << "PATH=" << state.DataFolder << "\n"
        << "CON1=" << state.Pattern.axisIndex << "\n"
        << "CON2=" << state.Pattern.axisRank << "\n"
        << "CON3=" << state.Pattern.partnerIndex << "\n"
        << "CON4=" << state.Pattern.betStyle << "\n"
        << "FILE=" << location.readPath << "\n"
        << "NOTE=" << location.description << "\n";
}

// The one line that says the record cache could not be written, once the
// run's own output is out.
class CacheNoteLine {
public:
    CacheNoteLine(const RecordCacheOptions& cache, std::ostream& err) : cache_(cache), err_(err) {}
    ~CacheNoteLine() {
        try {
            if (cache_.notes && cache_.notes->WriteFailed()) {
                err_ << "lomi-report: " << cache_.notes->First() << "\n";
            }
        } catch (...) {
        }
    }

private:
    const RecordCacheOptions& cache_;
    std::ostream& err_;
};

int RunReportCommandOrThrow(int argc, const char* const argv[], std::ostream& rawOut,
                            std::ostream& rawErr) {
    const ParsedArguments parsed = ParseReportArguments(argc, argv, rawOut, rawErr);
    if (!parsed.options) return parsed.exitCode;
    const ReportOptions& options = *parsed.options;
    EncodedOutput encodedErr(rawErr, options.encoding);
    EncodedOutput encodedOut(rawOut, options.encoding, &encodedErr.Stream());
    std::ostream& out = encodedOut.Stream();
    std::ostream& err = encodedErr.Stream();

    // The same start as the window: the same settings file, the same
    // folder when they name none.
    ProgramState state;
    const SettingsLocation location = LocateSettings();
    const std::string iniPath = location.readPath;
    LoadSettings(state, iniPath, location.defaultDataFolder);
    if (options.showSettings) {
        PrintSettings(state, location, out);
        return kExitOk;
    }

    if (options.folder) state.DataFolder = *options.folder;
    if (!options.noCache) {
        state.RecordCache.folder = RecordsFolderIn(ProgramCacheFolder());
        state.RecordCache.rebuild = options.rebuildCache;
        state.RecordCache.notes = std::make_shared<RecordCacheNotes>();
    }
    const CacheNoteLine cacheNote(state.RecordCache, err);
    if (options.allPatterns) {
        return RunRankingCommand(state.DataFolder, options, state.RecordCache, out, err);
    }
    const PatternSelections selections = options.pattern.value_or(state.Pattern);
    if (!SelectPattern(state, selections)) {
        // Only the settings can get here: --pattern is checked when parsed.
        err << "lomi-report: " << iniPath << " のパターン (" << SelectionsText(state)
            << ") が範囲外です。--pattern で指定してください。\n"
            << "lomi-report: the pattern in " << iniPath << " (" << SelectionsText(state)
            << ") is out of range; give one with --pattern, for example --pattern Q1RN.\n";
        return kExitUsage;
    }

    PatternLoad load =
        LoadPattern(state.DataFolder, state.PatternFileMask, {}, {}, state.RecordCache);
    if (load.status != LoadStatus::Loaded) {
        if (options.json) {
            out << MessageJson(std::string(FailureText(load.message)));
        } else {
            err << FailureText(load.message) << "\n";
        }
        // Why a folder gave no file: missing, not a folder, too long a path.
        const std::string problem =
            load.status == LoadStatus::NotFound ? FolderProblem(state.DataFolder) : "";
        if (!problem.empty()) {
            err << "lomi-report: " << state.DataFolder << ": " << problem << "\n";
        }
        return kExitFailure;
    }
    CommitLoad(state, std::move(load));

    if (WantsBreakdownOrSeries(options)) return RunBreakdownCommand(state, options, out, err);

    const std::string description = DescribeCurrentPattern(state);
    if (state.Loaded.Records.Empty()) {
        if (options.json) {
            WriteReportJson(out, state, description, std::nullopt);
            return kExitOk;
        }
        err << kFileNotOpen << "\n";
        return kExitFailure;
    }

    const TallyResult tally = TallyLoaded(state, options.conditions);
    if (options.json) {
        WriteReportJson(out, state, description, tally);
    } else if (options.csv) {
        WriteFiguresCsv(out, tally.figures);
    } else {
        out << WithLfLineEnds(tally.report);
    }
    return kExitOk;
}

}  // namespace

int RunReportCommand(int argc, const char* const argv[], std::ostream& rawOut,
                     std::ostream& rawErr) noexcept {
    try {
        return RunReportCommandOrThrow(argc, argv, rawOut, rawErr);
    } catch (...) {
        // Whatever went wrong (memory, a stream that failed) is told, never
        // left to end the program.
        try {
            rawErr << "lomi-report: " << DescribeTaskFailure("処理", std::current_exception())
                   << "\n";
        } catch (...) {
        }
        return kExitFailure;
    }
}

}  // namespace lomi
