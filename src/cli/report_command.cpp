#include "cli/report_command.h"

#include <ostream>

namespace lomi {

int RunReportCommand(int, const char* const[], std::ostream&, std::ostream& err) {
    err << "not built yet\n";
    return 1;
}

}  // namespace lomi
