#include "dialogs/fm98con.h"
#include "analysis/pattern_analysis.h"
