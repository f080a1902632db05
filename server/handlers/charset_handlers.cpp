// Placeholder: this area's handlers are not written yet.
#include "register.h"

namespace orvane::server {
void registerCharsetHandlers(Dispatcher&) {}
} // namespace orvane::server
