// Placeholder: this area's handlers are not written yet.
#include "register.h"

namespace orvane::server {
void registerSecurityHandlers(Dispatcher&) {}
} // namespace orvane::server
