#pragma once
// What the program checks at start-up about this library: the version built
// into it, and the wire protocol version it speaks, which a server reports as
// "PV" in its answer to "OPEN".

#include "protocol/version.h"

namespace orvane {

// The library's own version, as built.
const char* LibraryVersion();

// The protocol version this library speaks: the one of the protocol it was built with.
using wire::ProtocolVersion;

} // namespace orvane
