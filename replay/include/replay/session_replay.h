// The session replay of `vantrel replay --session`: captured packets drawn in a host session.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>

namespace vantrel {

// Runs every non-blank line of `in` as one packet through one transfer table inside a new host
// session, drawing complete "json" payloads with the transfer processor (the core loaded by
// path for each draw) and inserting complete "base64" transfers as STEP files into the active
// document through the session's automation registration. Writes one outcome line per packet to
// `out`, then, per open document, one JSON line with its name, kind, the STEP file written into
// `exportDir` (for a document that has a solid) and the result of the last draw into it. Returns
// the number of Failed packets.
size_t ReplaySession(std::istream& in, std::ostream& out, const std::string& exportDir);

}  // namespace vantrel
