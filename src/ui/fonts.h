#pragma once

#include <QFont>

namespace lomi::ui {

// Fixed-pitch Japanese gothic at 9 pt for the report box: a full-width
// character is exactly two half-width columns, so the report's columns line
// up. The Windows face first, then a free font installed on Linux.
QFont FixedGothicFont();

// Proportional Japanese gothic at 9.75 pt for the tally button and the
// pattern description.
QFont ProportionalGothicFont();

}  // namespace lomi::ui
