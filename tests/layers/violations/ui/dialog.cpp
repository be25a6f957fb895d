#include "analysis/pattern_analysis.h"
#include "dialogs/pattern_dialog.h"
