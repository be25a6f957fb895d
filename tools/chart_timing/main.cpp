// lomi-chart-timing: how long the profit chart takes to open on a large
// load (the 20-year corpus of lomi-benchmark by default): building the
// series, filling the lines and the first paint, then one step of moving
// the view. Prints the medians; run it offscreen or under a display.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QPixmap>

#include "analysis/pattern_analysis.h"
#include "dialogs/profit_chart_window.h"

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const std::string folder =
        arguments.size() > 1 ? arguments[1].toStdString() : "/tmp/lomi-benchmark/years-20";
    const std::string mask = arguments.size() > 2 ? arguments[2].toStdString() : "P*Q1RN.txt";
    lomi::ProgramState state;
    if (!lomi::CommitLoad(state, lomi::LoadPattern(folder, mask))) {
        std::fprintf(stderr, "lomi-chart-timing: cannot load %s/%s (run lomi-benchmark once)\n",
                     folder.c_str(), mask.c_str());
        return 1;
    }
    std::vector<double> open, pan;
    std::size_t days = 0;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer clock;
        clock.start();
        lomi::ProfitChartWindow window(state);
        window.resize(900, 600);
        window.ShowTally({});
        window.show();
        window.ChartView()->grab();  // the first paint
        open.push_back(clock.nsecsElapsed() / 1e6);
        days = window.Current().points.size();
        window.Chart()->zoom(4);
        clock.restart();
        for (int step = 0; step < 10; ++step) {
            window.Chart()->scroll(40, 0);
            window.ChartView()->grab();
        }
        pan.push_back(clock.nsecsElapsed() / 1e6 / 10);
    }
    std::printf("profit chart, %zu records, %zu race days x 4 lines:\n",
                state.Loaded.Records.Size(), days);
    std::printf("| open (series, lines, first paint) | %.0f ms |\n", Median(open));
    std::printf("| one step of moving the zoomed view, repainted | %.1f ms |\n", Median(pan));
    return 0;
}
