#include "ui/pattern_loader.h"

#include <utility>

#include <QWidget>

#include "ui/progress_window.h"
#include "ui/wait_cursor.h"

namespace lomi::ui {

namespace {

constexpr int kRefreshMilliseconds = 50;

}  // namespace

PatternLoader::PatternLoader(QObject* parent, LoadFunction load)
    : QObject(parent), load_(std::move(load)) {
    showTimer_.setSingleShot(true);
    showTimer_.setInterval(kProgressDelayMilliseconds);
    connect(&showTimer_, &QTimer::timeout, this, &PatternLoader::ShowProgress);
    refreshTimer_.setInterval(kRefreshMilliseconds);
    connect(&refreshTimer_, &QTimer::timeout, this, &PatternLoader::Refresh);
}

PatternLoader::~PatternLoader() {
    // The load, if any, ends by itself; nobody waits for it.
    task_.Abandon();
    StopShowing();
}

void PatternLoader::Start(const std::string& folder, const std::string& mask, QWidget* over,
                          EndHandler ended, const RecordCacheOptions& cache) {
    Abandon();
    ended_ = std::move(ended);
    over_ = over;
    counts_ = std::make_shared<Counts>();
    cursor_ = std::make_unique<WaitCursor>();
    showTimer_.start();
    task_.Start(
        "パターンの読み込み",
        [this, load = load_, folder, mask, cache, counts = counts_](std::stop_token stop) {
            auto result = std::make_shared<PatternLoad>(load(
                folder, mask,
                [counts](std::size_t done, std::size_t total) {
                    counts->total = total;
                    counts->done = done;
                },
                stop, cache));
            return WorkerTask::Delivery([this, result] { End(std::move(*result)); });
        },
        [this](const std::string& message) {
            PatternLoad failed;
            failed.status = LoadStatus::Failed;
            failed.message = message;
            End(std::move(failed));
        });
}

void PatternLoader::Cancel() {
    if (!Running()) return;
    PatternLoad cancelled;
    cancelled.status = LoadStatus::Cancelled;
    task_.Abandon();
    End(std::move(cancelled));
}

void PatternLoader::Abandon() {
    task_.Abandon();
    ended_ = nullptr;
    StopShowing();
}

ProgressWindow* PatternLoader::Progress() const { return window_; }

void PatternLoader::ShowProgress() {
    QWidget* parent = over_ ? over_.data() : qobject_cast<QWidget*>(this->parent());
    window_ = new ProgressWindow(parent);
    window_->setAttribute(Qt::WA_DeleteOnClose);
    window_->setWindowModality(Qt::WindowModal);
    connect(window_, &ProgressWindow::CancelRequested, this, &PatternLoader::Cancel);
    Refresh();
    window_->show();
    refreshTimer_.start();
}

void PatternLoader::Refresh() {
    if (window_) window_->SetCounts(counts_->done, counts_->total);
}

void PatternLoader::StopShowing() {
    showTimer_.stop();
    refreshTimer_.stop();
    if (window_) {
        // Closed without asking for a stop: the load has ended already.
        window_->disconnect(this);
        window_->hide();
        window_->deleteLater();
    }
    window_ = nullptr;
    cursor_.reset();
}

void PatternLoader::End(PatternLoad load) {
    StopShowing();
    // Last: the handler may close the window this loader belongs to.
    const EndHandler ended = std::exchange(ended_, nullptr);
    if (ended) ended(std::move(load));
}

}  // namespace lomi::ui
