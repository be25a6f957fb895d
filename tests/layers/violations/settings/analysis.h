#pragma once
#include "analysis/pattern_analysis.h"
