#pragma once

#include <QWidget>

#include "analysis/overfitting.h"

class QBarSet;
class QChartView;
class QLabel;

namespace lomi {

// Under the ranking: the probability that its best pattern is luck, what
// the best and an average pattern recovered out of sample, each with a
// tooltip that says what it means, and a small histogram of λ over the
// splits (the left half, λ ≤ 0, being the overfit ones).
class OverfittingPanel : public QWidget {
    Q_OBJECT

public:
    explicit OverfittingPanel(QWidget* parent = nullptr);

    void Show(const OverfittingEstimate& estimate);
    // Nothing to say yet (a run is going).
    void Clear();

    QLabel* Text() const { return text_; }
    QBarSet* Counts() const { return counts_; }

private:
    QLabel* text_ = nullptr;
    QChartView* chart_ = nullptr;
    QBarSet* counts_ = nullptr;
};

}  // namespace lomi
