#pragma once
#include <QString>
#include "tally/figures.h"
