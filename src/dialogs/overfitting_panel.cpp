#include "dialogs/overfitting_panel.h"

#include <algorithm>
#include <cmath>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QValueAxis>

#include "analysis/ranking_table.h"
#include "ui/text.h"

namespace lomi {
namespace {

// λ from -3 to 3 in steps of 0.5, each bin holding its upper end, so that
// λ = 0 (the best ranked exactly in the middle) falls on the overfit side
// as the estimate counts it; values beyond fall into the end bins.
constexpr double kLowestLogit = -3;
constexpr double kBinWidth = 0.5;
constexpr int kBins = 12;

}  // namespace

OverfittingPanel::OverfittingPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("OverfittingPanel");
    text_ = new QLabel(this);
    text_->setObjectName("OverfittingLabel");
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    counts_ = new QBarSet(QString(), this);
    counts_->setColor(QColor(70, 110, 170));
    auto* series = new QBarSeries;
    series->setBarWidth(0.9);
    series->append(counts_);
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->legend()->hide();
    chart->setMargins(QMargins(0, 0, 0, 0));
    chart->setBackgroundRoundness(0);
    QStringList labels;
    for (int bin = 0; bin < kBins; ++bin) {
        const double from = kLowestLogit + bin * kBinWidth;
        // Bins from -2, 0 and 2 are labelled with where they start; the axis
        // needs distinct categories, so the others are blanks of different lengths.
        labels << (bin % 4 == 2 ? QString::number(from) : QString(bin + 1, ' '));
    }
    auto* x = new QBarCategoryAxis;
    x->append(labels);
    x->setTitleText(QString::fromUtf8("前半最良の後半順位 (λ)"));
    QFont small = x->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    x->setLabelsFont(small);
    auto* y = new QValueAxis;
    y->setLabelFormat("%d");
    y->setTickCount(3);
    y->setLabelsFont(small);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    chart_ = new QChartView(chart, this);
    chart_->setObjectName("LogitHistogram");
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setFixedSize(360, 130);
    chart_->setToolTip(QString::fromUtf8(
        "分け方ごとの λ = ln(ω / (1 − ω)) の分布です（ω は前半1位の後半での順位の割合）。"
        "棒は 0.5 刻みで、数字はその棒の始まりです。0 "
        "以下（0 の棒の左）は前半1位が後半で中位以下だった分け方です。"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_, 1);
    layout->addWidget(chart_);
    Clear();
}

void OverfittingPanel::Clear() {
    text_->clear();
    text_->setToolTip({});
    counts_->remove(0, counts_->count());
    chart_->setVisible(false);
}

void OverfittingPanel::Show(const OverfittingEstimate& estimate) {
    QStringList lines;
    for (const std::string& line : OverfittingLines(estimate)) lines << ui::FromUtf8(line);
    text_->setText(lines.join('\n'));
    counts_->remove(0, counts_->count());
    chart_->setVisible(estimate.Estimated());
    text_->setToolTip({});
    if (!estimate.Estimated()) return;
    text_->setToolTip(
        QString::fromUtf8(
            "開催日を%1の区間に分け、その半分で1位だったパターンが残りの半分で全パターンの"
            "中位以下に沈んだ割合です。パターンが少ないほど運だけでも50%を少し超えます"
            "（3パターンなら平均2/3）。高いほど、この表の1位は実力ではなく運で1位に"
            "なっている見込みが高く、0%に近いほど本物の優位があると言えます。")
            .arg(estimate.blocks));
    QList<qreal> bins(kBins, 0);
    for (const double logit : estimate.logits) {
        const int bin = static_cast<int>(std::ceil((logit - kLowestLogit) / kBinWidth)) - 1;
        bins[std::clamp(bin, 0, kBins - 1)] += 1;
    }
    counts_->append(bins);
    auto* y = qobject_cast<QValueAxis*>(chart_->chart()->axes(Qt::Vertical).value(0));
    if (y != nullptr) y->setRange(0, *std::max_element(bins.begin(), bins.end()));
}

}  // namespace lomi
