#include "version.h"

namespace orvane {

const char* LibraryVersion() {
    return ORVANE_LIBRARY_VERSION;
}

} // namespace orvane
