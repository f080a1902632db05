#pragma once
// The version of the wire protocol this server speaks; the client checks it
// against the one it was built for when its channel opens.

namespace orvane::wire {

inline constexpr char ProtocolVersion[] = "1";

} // namespace orvane::wire
