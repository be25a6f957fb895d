#include "cli/report_command.h"

#include <ostream>
#include <string>

#include "cli/report_json.h"
#include "cli/report_options.h"
#include "data/folder_listing.h"
#include "data/ticket_reader.h"
#include "settings/executable_folder.h"
#include "settings/ini.h"
#include "settings/settings.h"
#include "tally/pattern_names.h"
#include "tally/race_filter.h"
#include "tally/tally_report.h"

namespace lomi {
namespace {

constexpr const char* kFileNotFound = "FILE NOT FOUND.";
constexpr const char* kFileNotOpen = "FILE NOT OPEN.";

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
    return "CON1=" + std::to_string(state.Con1) + " CON2=" + std::to_string(state.Con2) +
           " CON3=" + std::to_string(state.Con3) + " CON4=" + std::to_string(state.Con4);
}

void PrintSettings(const ProgramState& state, std::ostream& out) {
    out << "PATH=" << state.DataFolder << "\n"
        << "CON1=" << state.Con1 << "\n"
        << "CON2=" << state.Con2 << "\n"
        << "CON3=" << state.Con3 << "\n"
        << "CON4=" << state.Con4 << "\n";
}

}  // namespace

int RunReportCommand(int argc, const char* const argv[], std::ostream& rawOut,
                     std::ostream& rawErr) {
    const ParsedArguments parsed = ParseReportArguments(argc, argv, rawOut, rawErr);
    if (!parsed.options) return parsed.exitCode;
    const ReportOptions& options = *parsed.options;
    EncodedOutput encodedErr(rawErr, options.encoding);
    EncodedOutput encodedOut(rawOut, options.encoding, &encodedErr.Stream());
    std::ostream& out = encodedOut.Stream();
    std::ostream& err = encodedErr.Stream();

    // The same start as the window: settings beside the program, the
    // current directory when they name no folder.
    ProgramState state;
    const std::string iniPath = IniFilePath();
    LoadSettings(state, iniPath, CurrentDirectory());
    if (options.showSettings) {
        PrintSettings(state, out);
        return kExitOk;
    }

    if (options.folder) state.DataFolder = *options.folder;
    if (options.pattern) {
        state.Con1 = options.pattern->con1;
        state.Con2 = options.pattern->con2;
        state.Con3 = options.pattern->con3;
        state.Con4 = options.pattern->con4;
    }
    const auto mask = BuildPatternFileMask(state.Con1, state.Con2, state.Con3, state.Con4);
    if (!mask) {
        // Only the settings can get here: --pattern is checked when parsed.
        err << "lomi-report: " << iniPath << " のパターン (" << SelectionsText(state)
            << ") が範囲外です。--pattern で指定してください。\n"
            << "lomi-report: the pattern in " << iniPath << " (" << SelectionsText(state)
            << ") is out of range; give one with --pattern, for example --pattern Q1RN.\n";
        return kExitUsage;
    }
    state.PatternFileMask = *mask;

    if (PatternFilesMissing(state)) {
        if (options.json) {
            out << MessageJson(kFileNotFound);
        } else {
            err << kFileNotFound << "\n";
        }
        if (const std::string problem = FolderProblem(state.DataFolder); !problem.empty()) {
            err << "lomi-report: " << state.DataFolder << ": " << problem << "\n";
        }
        return kExitFailure;
    }
    const LoadResult loaded = LoadPatternFiles(state);
    if (!loaded.ok) {
        if (options.json) {
            out << MessageJson(loaded.message);
        } else {
            err << loaded.message << "\n";
        }
        return kExitFailure;
    }

    const std::string description =
        DescribeSelections(state.Con1, state.Con2, state.Con3, state.Con4).value_or("");
    if (state.Loaded.Records.Empty()) {
        if (options.json) {
            out << ReportJson(state, description, std::nullopt);
            return kExitOk;
        }
        err << kFileNotOpen << "\n";
        return kExitFailure;
    }

    ExtractAndTally(state, options.conditions);
    const std::string report =
        BuildTallyReport(static_cast<std::int64_t>(state.Loaded.Records.Size()), state.Tally);
    if (options.json) {
        out << ReportJson(state, description, report);
    } else {
        out << WithLfLineEnds(report);
    }
    return kExitOk;
}

}  // namespace lomi
