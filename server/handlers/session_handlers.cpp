// Placeholder: this area's handlers are not written yet.
#include "register.h"

namespace orvane::server {
void registerSessionHandlers(Dispatcher&) {}
} // namespace orvane::server
