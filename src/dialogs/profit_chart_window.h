#pragma once

#include <string>

#include <array>

#include <QPixmap>
#include <QString>
#include <QWidget>

#include "analysis/profit_series.h"
#include "data/program_state.h"
#include "tally/race_conditions.h"

class QAreaSeries;
class QCategoryAxis;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPushButton;

namespace lomi {

class OutOfDateBar;
class PeriodSelector;

// 損益グラフ: the cumulative profit of each bet type over the race days of
// the main window's pattern and conditions, one line each; the legend
// switches a line on and off, the largest fall from a peak is a strip of
// the line's colour along the bottom from the peak's day to the trough's,
// a drag with the
// mouse zooms in, 全体表示 zooms out again; the picture can be saved as PNG
// with its title and the drawdown text. Follows the main window through
// ShowTally. Every redraw reuses the same series.
class ProfitChartWindow : public QWidget {
    Q_OBJECT

public:
    // folder: where the last file was saved, shared with the other windows.
    explicit ProfitChartWindow(const ProgramState& state, QWidget* parent = nullptr,
                               QString* folder = nullptr);

    void ShowTally(const RaceConditions& conditions);
    // The data folder is no longer the one the loaded pattern came from
    // (empty: it is again): the window says so, and its 読み直す asks for
    // the pattern from the new folder.
    void SetFolderChanged(const std::string& newFolder);
    OutOfDateBar* OutOfDate() const { return outOfDate_; }

signals:
    void reloadRequested();

public:

    const ProfitSeries& Current() const { return series_; }
    QChart* Chart() const { return chart_; }
    QChartView* ChartView() const { return view_; }
    // The line of a bet type, and the band of its largest fall.
    QLineSeries* Line(std::size_t bet) const { return lines_[bet]; }
    QAreaSeries* Drawdown(std::size_t bet) const { return drawdowns_[bet]; }
    QCategoryAxis* DateAxis() const { return dateAxis_; }
    QLineSeries* ZeroLine() const { return zero_; }
    QLabel* Summary() const { return summary_; }
    PeriodSelector* Period() const { return period_; }

    // Shows or hides a bet type's line with its mark, as its legend entry does.
    void SetLineVisible(std::size_t bet, bool visible);
    // Back to the whole period after zooming.
    void ResetZoom();
    // Saves the chart as PNG at path, with the pattern, period and
    // conditions above it and the drawdowns below; a failure is told in a
    // message box.
    bool SavePng(const QString& path);
    QPixmap Picture() const;

private:
    void Refresh();
    void AskAndSavePng();

    const ProgramState& state_;
    RaceConditions conditions_;
    ProfitSeries series_;

    PeriodSelector* period_ = nullptr;
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    std::array<QLineSeries*, 4> lines_{};
    std::array<QAreaSeries*, 4> drawdowns_{};
    QCategoryAxis* dateAxis_ = nullptr;
    QString* folder_ = nullptr;
    OutOfDateBar* outOfDate_ = nullptr;
    QLineSeries* zero_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    QPushButton* pngButton_ = nullptr;
};

}  // namespace lomi
