#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "analysis/pattern_analysis.h"
#include "ui/worker_task.h"

class QWidget;

namespace lomi::ui {

class ProgressWindow;
class WaitCursor;

// How long a load runs before its progress window shows.
inline constexpr int kProgressDelayMilliseconds = 500;

// Loads a pattern off the user-interface thread, one run of WorkerTask per
// load, and returns at once. Meanwhile the wait cursor shows and, once the
// load has lasted kProgressDelayMilliseconds, a progress window over the
// window the load was asked from (window-modal), its counts refreshed at
// most every 50 ms. Its ｷｬﾝｾﾙ abandons the load: the end handler hears
// Cancelled at once, without waiting for the worker to let go of a file it
// is reading.
class PatternLoader : public QObject {
    Q_OBJECT

public:
    // What reads the pattern: LoadPattern, or a stand-in (a test's).
    using LoadFunction = std::function<PatternLoad(
        const std::string& folder, const std::string& mask, const LoadProgress& progress,
        std::stop_token, const RecordCacheOptions& cache)>;
    // Hears how the load ended, on the user-interface thread.
    using EndHandler = std::function<void(PatternLoad load)>;

    explicit PatternLoader(QObject* parent = nullptr, LoadFunction load = LoadPattern);
    ~PatternLoader() override;

    // Starts loading the files of folder that match mask, read through
    // cache, abandoning any load in hand. over is where the progress window
    // shows; ended hears the result unless the load is abandoned first.
    void Start(const std::string& folder, const std::string& mask, QWidget* over, EndHandler ended,
               const RecordCacheOptions& cache = {});
    // ｷｬﾝｾﾙ: abandons the load; ended hears Cancelled now.
    void Cancel();
    // Abandons the load without a word (its window is closing).
    void Abandon();
    bool Running() const { return task_.Running(); }
    // The progress window while it shows.
    ProgressWindow* Progress() const;

private:
    void ShowProgress();
    void Refresh();
    void StopShowing();
    void End(PatternLoad load);

    struct Counts {
        std::atomic<std::size_t> done{0};
        std::atomic<std::size_t> total{0};
    };

    LoadFunction load_;
    WorkerTask task_{this};
    EndHandler ended_;
    std::shared_ptr<Counts> counts_ = std::make_shared<Counts>();
    QPointer<QWidget> over_;
    QPointer<ProgressWindow> window_;
    std::unique_ptr<WaitCursor> cursor_;
    QTimer showTimer_;
    QTimer refreshTimer_;
};

}  // namespace lomi::ui
