#include "dialogs/profit_chart_window.h"

#include <algorithm>
#include <optional>
#include <vector>

#include <QAreaSeries>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include "analysis/pattern_analysis.h"
#include "dialogs/out_of_date_bar.h"
#include "dialogs/period_selector.h"
#include "dialogs/suggested_names.h"
#include "tally/bet_type.h"
#include "tally/condition_names.h"
#include "tally/selector_items.h"
#include "ui/save_file.h"
#include "ui/text.h"
#include "ui/window_keys.h"
#include "ui/window_role.h"

namespace lomi {
namespace {

// One colour per bet type, the mark of its fall in the same colour.
const std::array<QColor, 4> kColours = {QColor(0xD6, 0x27, 0x28), QColor(0x1F, 0x77, 0xB4),
                                        QColor(0x2C, 0xA0, 0x2C), QColor(0xFF, 0x7F, 0x0E)};

// A race day as the x value: midnight UTC of the day, in milliseconds.
std::optional<qreal> DayValue(const std::string& yyyymmdd) {
    const QDate date =
        QDate::fromString(QString::fromStdString(yyyymmdd), QStringLiteral("yyyyMMdd"));
    if (!date.isValid()) return std::nullopt;
    return static_cast<qreal>(QDateTime(date, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch());
}

constexpr qreal kDayMilliseconds = 86400000.0;

QDate DayOf(qreal x) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(x), Qt::UTC).date();
}

qreal ValueOf(const QDate& day) {
    return static_cast<qreal>(day.startOfDay(Qt::UTC).toMSecsSinceEpoch());
}

// Ticks on the starts of months, every 1, 2, 3 or 6 months, or on the
// starts of years, every 1, 2, 5 or 10 years: no more than eight.
void SetDateTicks(QCategoryAxis* axis, qreal first, qreal last) {
    for (const QString& label : axis->categoriesLabels()) axis->remove(label);
    const QDate from = DayOf(first);
    const QDate to = DayOf(last);
    const int months = (to.year() - from.year()) * 12 + to.month() - from.month() + 1;
    int step = 120;
    for (const int candidate : {1, 2, 3, 6, 12, 24, 60, 120}) {
        if (months / candidate <= 8) {
            step = candidate;
            break;
        }
    }
    QDate tick(from.year(), step >= 12 ? 1 : from.month(), 1);
    // Steps of several months or years start at a round one.
    if (step < 12) tick = tick.addMonths(-((tick.month() - 1) % step));
    if (step > 12) tick = tick.addYears(-(tick.year() % (step / 12)));
    const QString format = step >= 12 ? QStringLiteral("yyyy") : QStringLiteral("yyyy-MM");
    axis->setStartValue(first);
    for (; tick <= to; tick = tick.addMonths(step)) {
        if (tick > from) axis->append(tick.toString(format), ValueOf(tick));
    }
    axis->setRange(first, last);
}

QString Yen(std::int64_t value) {
    return QLocale(QLocale::Japanese).toString(static_cast<qlonglong>(value));
}

// The chart's view: a drag zooms in (the rubber band), the wheel zooms in
// and out; a drag with the middle button or with Shift held, and the arrow
// keys, move the view.
class ZoomingChartView : public QChartView {
public:
    using QChartView::QChartView;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::MiddleButton ||
            (event->button() == Qt::LeftButton && event->modifiers() & Qt::ShiftModifier)) {
            panning_ = true;
            last_ = event->position();
            event->accept();
            return;
        }
        QChartView::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (panning_) {
            const QPointF step = event->position() - last_;
            last_ = event->position();
            chart()->scroll(-step.x(), step.y());
            event->accept();
            return;
        }
        QChartView::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (panning_) {
            panning_ = false;
            event->accept();
            return;
        }
        QChartView::mouseReleaseEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override {
        chart()->zoom(event->angleDelta().y() > 0 ? 1.25 : 0.8);
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override {
        const qreal step = 40;
        switch (event->key()) {
            case Qt::Key_Left:
                chart()->scroll(-step, 0);
                break;
            case Qt::Key_Right:
                chart()->scroll(step, 0);
                break;
            case Qt::Key_Up:
                chart()->scroll(0, step);
                break;
            case Qt::Key_Down:
                chart()->scroll(0, -step);
                break;
            default:
                QChartView::keyPressEvent(event);
        }
    }

private:
    bool panning_ = false;
    QPointF last_;
};

}  // namespace

ProfitChartWindow::ProfitChartWindow(const ProgramState& state, QWidget* parent, QString* folder)
    : QWidget(parent, Qt::Window), state_(state), folder_(folder) {
    setObjectName("ProfitChartWindow");
    setWindowTitle(QString::fromUtf8("損益グラフ"));
    ui::ExposeAsWindow(this);

    chart_ = new QChart;
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    // Yen with thousands separators, as the summary writes them.
    chart_->setLocalizeNumbers(true);
    chart_->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    QFont titleFont = chart_->titleFont();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.1);
    chart_->setTitleFont(titleFont);
    auto* xAxis = new QCategoryAxis;
    dateAxis_ = xAxis;
    xAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    xAxis->setTitleText(QString::fromUtf8("日付"));
    auto* yAxis = new QValueAxis;
    yAxis->setLabelFormat(QStringLiteral("%.0f"));
    yAxis->setTitleText(QString::fromUtf8("累積損益 (円)"));
    chart_->addAxis(xAxis, Qt::AlignBottom);
    chart_->addAxis(yAxis, Qt::AlignLeft);

    const auto addLine = [&](const QString& name, const QPen& pen) {
        auto* line = new QLineSeries;
        line->setName(name);
        line->setPen(pen);
        line->setUseOpenGL(false);
        chart_->addSeries(line);
        line->attachAxis(xAxis);
        line->attachAxis(yAxis);
        return line;
    };
    // The largest fall of each bet type: a strip from its peak's day to its
    // trough's along the bottom, so that it reads as a period, not a trend.
    for (const BetType bet : kBetTypes) {
        const std::size_t k = Index(bet);
        auto* band = new QAreaSeries(new QLineSeries(this), new QLineSeries(this));
        band->setName(QString::fromUtf8("最大ドローダウン"));
        QColor shade = kColours[k];
        shade.setAlpha(150);
        band->setBrush(shade);
        band->setPen(Qt::NoPen);
        chart_->addSeries(band);
        band->attachAxis(xAxis);
        band->attachAxis(yAxis);
        drawdowns_[k] = band;
    }
    zero_ = addLine(QString::fromUtf8("0円"), QPen(Qt::gray, 1, Qt::DashLine));
    for (const BetType bet : kBetTypes) {
        const std::size_t k = Index(bet);
        lines_[k] = addLine(QString::fromUtf8(BetName(bet)), QPen(kColours[k], 1.5));
        // Pointing at a line tells its day and its cumulative profit.
        connect(lines_[k], &QLineSeries::hovered, this, [this, k](const QPointF& point, bool on) {
            if (!on) return QToolTip::hideText();
            const QDate day = DayOf(point.x());
            QToolTip::showText(QCursor::pos(),
                               QString::fromUtf8("%1 %2 %3円")
                                   .arg(lines_[k]->name(), day.toString(Qt::ISODate),
                                        Yen(static_cast<std::int64_t>(point.y()))),
                               view_);
        });
    }
    // Only the four lines have a legend entry, and a click on one switches it.
    const auto markers = chart_->legend()->markers();
    for (QLegendMarker* marker : markers) {
        const auto found = std::find(lines_.begin(), lines_.end(), marker->series());
        if (found == lines_.end()) {
            marker->setVisible(false);
            continue;
        }
        const auto k = static_cast<std::size_t>(found - lines_.begin());
        connect(marker, &QLegendMarker::clicked, this,
                [this, k] { SetLineVisible(k, !lines_[k]->isVisible()); });
    }

    view_ = new ZoomingChartView(chart_, this);
    view_->setObjectName("Chart");
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setRubberBand(QChartView::RectangleRubberBand);
    // The whole view is painted at every change: partial repaints left
    // pieces of the former drawing behind.
    view_->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);

    period_ = new PeriodSelector(this);
    resetButton_ = new QPushButton(QString::fromUtf8("全体表示"), this);
    resetButton_->setObjectName("ResetZoom");
    pngButton_ = new QPushButton(QString::fromUtf8("画像を保存(&S)..."), this);
    pngButton_->setObjectName("SavePng");
    summary_ = new QLabel(this);
    summary_->setObjectName("Summary");
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* top = new QHBoxLayout;
    top->addWidget(period_, 1);
    top->addWidget(resetButton_);
    top->addWidget(pngButton_);
    outOfDate_ = new OutOfDateBar(QString::fromUtf8("読み直す(&L)"), this);
    connect(outOfDate_, &OutOfDateBar::actionClicked, this, &ProfitChartWindow::reloadRequested);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(outOfDate_);
    layout->addWidget(view_, 1);
    layout->addWidget(summary_);
    resize(900, 560);

    connect(period_, &PeriodSelector::Changed, this, &ProfitChartWindow::Refresh);
    connect(resetButton_, &QPushButton::clicked, this, &ProfitChartWindow::ResetZoom);
    connect(pngButton_, &QPushButton::clicked, this, &ProfitChartWindow::AskAndSavePng);
    ui::CloseWithKeys(this);
    Refresh();
}

void ProfitChartWindow::ShowTally(const RaceConditions& conditions) {
    conditions_ = conditions;
    period_->SetDates(state_.Loaded.DateList);
    Refresh();
}

void ProfitChartWindow::SetLineVisible(std::size_t bet, bool visible) {
    lines_[bet]->setVisible(visible);
    drawdowns_[bet]->setVisible(visible && series_.drawdownEnd[bet] >= 0);
    // Hidden lines keep their legend entry, drawn faint.
    for (QLegendMarker* marker : chart_->legend()->markers(lines_[bet])) {
        marker->setVisible(true);
        QColor label = chart_->legend()->labelColor();
        label.setAlpha(visible ? 255 : 90);
        marker->setLabelBrush(label);
        QColor colour = kColours[bet];
        colour.setAlpha(visible ? 255 : 60);
        marker->setBrush(colour);
    }
}

void ProfitChartWindow::Refresh() {
    series_ = state_.Loaded.Records.Empty()
                  ? ProfitSeries()
                  : BuildProfitSeries(state_.Loaded.Records, period_->Narrow(conditions_));
    std::array<QList<QPointF>, 4> points;
    qreal first = 0, last = 0;
    std::int64_t low = 0, high = 0;
    bool any = false;
    std::vector<qreal> days(series_.points.size(), 0);
    for (std::size_t i = 0; i < series_.points.size(); ++i) {
        const ProfitPoint& point = series_.points[i];
        const auto x = DayValue(point.date);
        if (!x) continue;  // a date that is no calendar day has no place
        days[i] = *x;
        first = any ? std::min(first, *x) : *x;
        last = any ? std::max(last, *x) : *x;
        any = true;
        for (std::size_t k = 0; k < 4; ++k) {
            points[k].append(QPointF(*x, static_cast<qreal>(point.profit[k])));
            low = std::min(low, point.profit[k]);
            high = std::max(high, point.profit[k]);
        }
    }
    if (!any) {
        // Nothing counted: a flat day at zero.
        first = ValueOf(QDateTime::currentDateTimeUtc().date());
        last = first + kDayMilliseconds;
    }
    for (std::size_t k = 0; k < 4; ++k) lines_[k]->replace(points[k]);
    zero_->replace({QPointF(first, 0), QPointF(last, 0)});

    // Back from a zoom first: a reset after the new ranges would restore old ones.
    chart_->zoomReset();
    const qreal margin = std::max<qreal>(100, static_cast<qreal>(high - low) * 0.05);
    SetDateTicks(dateAxis_, first, last);
    auto* yAxis = static_cast<QValueAxis*>(chart_->axes(Qt::Vertical).first());
    // Room below the lowest point for the drawdown strips.
    yAxis->setRange(static_cast<qreal>(low) - 3 * margin, static_cast<qreal>(high) + margin);
    yAxis->applyNiceNumbers();

    // Each fall is a strip of its own along the bottom, at least a day
    // wide: long falls of several bet types never cover each other or the lines.
    const qreal strip = (yAxis->max() - yAxis->min()) * 0.025;
    for (std::size_t k = 0; k < 4; ++k) {
        QList<QPointF> top, bottom;
        const std::int64_t end = series_.drawdownEnd[k];
        if (end >= 0) {
            const std::int64_t start = series_.drawdownStart[k];
            qreal from = start >= 0 ? days[static_cast<std::size_t>(start)] : first;
            qreal to = days[static_cast<std::size_t>(end)];
            if (to - from < kDayMilliseconds) {
                from -= kDayMilliseconds / 2;
                to += kDayMilliseconds / 2;
            }
            const qreal base = yAxis->min() + strip * (static_cast<qreal>(k) + 0.2);
            top = {QPointF(from, base + strip * 0.8), QPointF(to, base + strip * 0.8)};
            bottom = {QPointF(from, base), QPointF(to, base)};
        }
        drawdowns_[k]->upperSeries()->replace(top);
        drawdowns_[k]->lowerSeries()->replace(bottom);
        drawdowns_[k]->setVisible(lines_[k]->isVisible() && end >= 0);
    }
    chart_->setTitle(ui::FromUtf8(DescribeCurrentPattern(state_)) + QString::fromUtf8("　") +
                     ui::FromUtf8(ConditionsText(period_->Narrow(conditions_))));

    QStringList lines;
    for (const BetType bet : kBetTypes) {
        const std::size_t k = Index(bet);
        QString text = QString::fromUtf8("%1: 最大ドローダウン %2円")
                           .arg(QString::fromUtf8(BetName(bet)), Yen(series_.maxDrawdown[k]));
        if (series_.drawdownEnd[k] >= 0) {
            const std::int64_t start = series_.drawdownStart[k];
            const QString from =
                start >= 0
                    ? ui::FromUtf8(DateText(series_.points[static_cast<std::size_t>(start)].date))
                    : QString::fromUtf8("開始");
            text +=
                QString::fromUtf8(" (%1～%2)")
                    .arg(from, ui::FromUtf8(DateText(
                                   series_.points[static_cast<std::size_t>(series_.drawdownEnd[k])]
                                       .date)));
        }
        text += QString::fromUtf8("、最長不的中 %1日").arg(series_.longestDaysWithoutHit[k]);
        lines << text;
    }
    summary_->setText(ui::FromUtf8(DescribeCurrentPattern(state_)) +
                      QString::fromUtf8("　%1日分\n").arg(series_.points.size()) +
                      lines.join('\n'));
    pngButton_->setEnabled(!state_.Loaded.Records.Empty());
}

void ProfitChartWindow::ResetZoom() { chart_->zoomReset(); }

QPixmap ProfitChartWindow::Picture() const {
    // The chart carries its title; the drawdowns' text goes below it.
    const QPixmap chart = view_->grab();
    const qreal ratio = chart.devicePixelRatio();
    const int width = qRound(chart.width() / ratio);
    // Measured on the picture itself, whose resolution the text is drawn
    // at, with a margin below the last line as above the first.
    constexpr int kTextMargin = 12;
    const QFontMetrics metrics(summary_->font(), &chart);
    const QRect textArea(8, 0, width - 16, 10000);
    const QRect needed = metrics.boundingRect(textArea, Qt::TextWordWrap, summary_->text());
    QPixmap picture(chart.width(),
                    chart.height() + qRound((needed.height() + 2 * kTextMargin) * ratio));
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, chart);
    painter.setFont(summary_->font());
    painter.setPen(Qt::black);
    painter.drawText(textArea.translated(0, qRound(chart.height() / ratio) + kTextMargin),
                     Qt::TextWordWrap,
                     summary_->text());
    painter.end();
    return picture;
}

bool ProfitChartWindow::SavePng(const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Picture().save(&buffer, "PNG");
    return ui::SaveWholeFile(
        this, path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void ProfitChartWindow::AskAndSavePng() {
    const QString path =
        ui::AskSavePath(this, QString::fromUtf8("グラフを画像で保存"),
                        SuggestedFileName(QString::fromUtf8("損益グラフ"), state_,
                                          period_->Narrow(conditions_), QStringLiteral("png")),
                        QString::fromUtf8("PNG画像 (*.png)"), folder_, state_.DataFolder);
    if (!path.isEmpty()) SavePng(path);
}

void ProfitChartWindow::SetFolderChanged(const std::string& newFolder) {
    outOfDate_->MarkFolderChanged(newFolder);
}

}  // namespace lomi
