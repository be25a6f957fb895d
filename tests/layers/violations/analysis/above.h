#pragma once
#include <QtCore/QObject>
#include "cli/report_json.h"
