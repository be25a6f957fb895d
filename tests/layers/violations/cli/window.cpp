#include <vector>
#include "ui/text.h"
