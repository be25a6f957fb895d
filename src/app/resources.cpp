#include "app/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares its function in the enclosing namespace, so it
// has to run at global scope.
static void InitLomiResources() { Q_INIT_RESOURCE(lomi); }

namespace lomi {

void InitResources() {
    static const bool done = (InitLomiResources(), true);
    (void)done;
}

}  // namespace lomi
