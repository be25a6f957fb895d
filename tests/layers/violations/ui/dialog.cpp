#include "dialogs/pattern_dialog.h"
#include "analysis/pattern_analysis.h"
