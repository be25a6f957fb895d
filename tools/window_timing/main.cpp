// lomi-window-timing: drives the real main window (offscreen) through the
// pattern dialog's OK on the benchmark's corpora and prints the time from
// OK to the report beside lomi-report's time for the same load, both in
// this process, warm cache, median of several runs taken in turns.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QTimer>

#include "app/main_window.h"
#include "cli/report_command.h"
#include "corpora.h"
#include "data/cp932_table.h"
#include "dialogs/pattern_dialog.h"
#include "machine_info.h"
#include "ui/text_box.h"

namespace {

using Clock = std::chrono::steady_clock;
using lomi::bench::Corpus;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Fastest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

void PrintLoadAverage(const char* when) {
    if (const auto load = lomi::bench::LoadAverage())
        std::printf("load average %s: %.2f\n", when, *load);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// lomi-report --folder F --pattern Q1RN, run in this process: load, tally
// and the report text, as the command prints it.
double TimeCommandLine(const Corpus& corpus, std::string& report) {
    const std::string folder = corpus.folder;
    const char* argv[] = {"lomi-report", "--folder", folder.c_str(), "--pattern", "Q1RN"};
    std::ostringstream out, err;
    const auto start = Clock::now();
    const int code = lomi::RunReportCommand(5, argv, out, err);
    const double ms = Milliseconds(Clock::now() - start);
    if (code != 0) throw std::runtime_error("lomi-report failed: " + err.str());
    report = out.str();
    return ms;
}

// Opens the pattern dialog from the menu, presses its OK as soon as it is
// shown, and times from the press to the report in the report box.
double TimeWindow(lomi::MainWindow& window, std::string& report) {
    Clock::time_point pressed{}, reported{};
    const QMetaObject::Connection watch =
        QObject::connect(window.ReportBox(), &QPlainTextEdit::textChanged, [&] {
            if (pressed != Clock::time_point{} && !window.ReportBox()->Text().isEmpty()) {
                reported = Clock::now();
            }
        });
    window.OpenMenuChosen();
    lomi::PatternDialog* dialog = window.OpenPatternDialog();
    if (!dialog) throw std::runtime_error("the pattern dialog did not open");
    pressed = Clock::now();
    // OK starts the load and returns; the report comes when it has ended.
    dialog->findChild<QPushButton*>("OkButton")->click();
    const QDeadlineTimer deadline(60000);
    while (reported == Clock::time_point{} && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QObject::disconnect(watch);
    if (reported == Clock::time_point{}) throw std::runtime_error("the window showed no report");
    report = window.ReportBox()->Text().toStdString();
    return Milliseconds(reported - pressed);
}

struct Row {
    std::string name;
    std::size_t records = 0;
    std::vector<double> commandLine;
    std::vector<double> window;
};

int Run(int argc, char** argv, const std::string& work, const std::vector<int>& years, int runs) {
    // The timing needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    lomi::GetCp932Table();

    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / "lomi-window-timing-settings";
    std::filesystem::create_directories(home);
    lomi::ProgramState state;
    state.Pattern.axisIndex = 7;  // 仮単人気 １位 → Ｒ値 流し: Q1RN, the corpora's pattern
    state.Pattern.axisRank = 1;
    state.Pattern.partnerIndex = 3;
    state.Pattern.betStyle = 1;
    lomi::MainWindow window(state, (home / "Lomi.ini").string());
    window.show();

    std::vector<Row> rows;
    PrintLoadAverage("at start");
    for (int n : years) {
        const Corpus corpus = lomi::bench::PatternYears(work, n);
        lomi::bench::EnsureCorpus(corpus);
        state.DataFolder = corpus.folder;
        Row row;
        row.name = corpus.name;
        std::string cliReport, windowReport;
        // One untimed run of each warms the cache.
        TimeCommandLine(corpus, cliReport);
        TimeWindow(window, windowReport);
        for (int run = 0; run < runs; ++run) {
            row.commandLine.push_back(TimeCommandLine(corpus, cliReport));
            row.window.push_back(TimeWindow(window, windowReport));
        }
        row.records = static_cast<std::size_t>(state.RecordCount());
        std::string windowLines = windowReport, cliLines = cliReport;
        std::erase(windowLines, '\r');
        std::erase(windowLines, '\n');
        std::erase(cliLines, '\n');
        if (windowLines != cliLines) throw std::runtime_error(corpus.name + ": reports differ");
        rows.push_back(std::move(row));
    }
    window.close();

    PrintLoadAverage("at end");
    std::printf(
        "\nlomi-window-timing: OK in the pattern dialog to the report in the window, and "
        "lomi-report's load, tally and report; median (fastest) of %d runs taken in turns\n\n",
        runs);
    std::printf(
        "| Corpus | Records | lomi-report | Window | Window / lomi-report | Target ≤ 1.2 x |\n");
    std::printf("|---|---:|---:|---:|---:|---|\n");
    bool met = true;
    for (const Row& row : rows) {
        const double cli = Median(row.commandLine);
        const double win = Median(row.window);
        const bool ok = win <= cli * 1.2;
        met = met && ok;
        std::printf("| %s | %zu | %.1f (%.1f) ms | %.1f (%.1f) ms | %.2f (%.2f) x | %s |\n",
                    row.name.c_str(), row.records, cli, Fastest(row.commandLine), win,
                    Fastest(row.window), win / cli, Fastest(row.window) / Fastest(row.commandLine),
                    ok ? "met" : "MISSED");
    }
    return met ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App cli{"Times the main window's load through the pattern dialog beside lomi-report's."};
    std::string work = (std::filesystem::temp_directory_path() / "lomi-benchmark").string();
    std::vector<int> years{10, 80, 290};
    int runs = 7;
    cli.add_option("--work", work, "Folder of the benchmark's corpora (default: " + work + ")");
    cli.add_option("--years", years,
                   "Spans of years of one pattern (default 10 80 290; 290 years hold about a "
                   "million records)");
    cli.add_option("--runs", runs, "Timed runs of each (default 7)")->check(CLI::Range(1, 1000));
    CLI11_PARSE(cli, argc, argv);
    try {
        return Run(argc, argv, work, years, runs);
    } catch (const std::exception& error) {
        std::cerr << "lomi-window-timing: " << error.what() << "\n";
        return 1;
    }
}
