// The 64 MiB part-like JSON payload of the transfer benchmarks and the packets a front end
// sends for it in hashed chunks.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/chunk_hash.h"
#include "vantrel/json_field_readers.h"
#include "vantrel/transfer_protocol.h"

namespace bench {

constexpr size_t kTransferPayloadBytes = size_t{64} << 20;

// Sketch-line items padded with blanks to exactly kTransferPayloadBytes.
inline const std::string& TransferPayload() {
  static const std::string payload = [] {
    std::string text = "{\"items\":[";
    for (size_t i = 0; text.size() < kTransferPayloadBytes - 64; ++i) {
      if (i > 0) text += ",";
      text += "{\"id\":\"s" + std::to_string(i) +
              "\",\"type\":\"line\",\"x\":" + std::to_string(i % 1000) + ".25,\"y\":-" +
              std::to_string(i % 777) + ".5}";
    }
    text += "]}";
    text.append(kTransferPayloadBytes - text.size(), ' ');
    return text;
  }();
  return payload;
}

// The same items pretty-printed, one per line and indented, as a person or a tool writing
// readable JSON would send them: every line break is an escape in the chunk text.
inline const std::string& PrettyTransferPayload() {
  static const std::string payload = [] {
    std::string text = "{\n  \"items\": [";
    for (size_t i = 0; text.size() < kTransferPayloadBytes - 64; ++i) {
      if (i > 0) text += ",";
      text += "\n    {\"id\": \"s" + std::to_string(i) +
              "\", \"type\": \"line\", \"x\": " + std::to_string(i % 1000) + ".25, \"y\": -" +
              std::to_string(i % 777) + ".5}";
    }
    text += "\n  ]\n}";
    text.append(kTransferPayloadBytes - text.size(), ' ');
    return text;
  }();
  return payload;
}

inline std::string TransferPacket(const std::string& cmd, const std::string& body) {
  return "{\"cmd\":\"" + cmd + "\",\"data\":\"" + vantrel::EscapeJsonString(body) +
         "\",\"mode\":\"json\"}";
}

// The packets a front end sends for the payload cut into `count` hashed chunks.
inline const std::vector<std::string>& TransferPackets(
    size_t count, const std::string& payload = TransferPayload()) {
  static std::map<std::pair<const std::string*, size_t>, std::vector<std::string>> cache;
  std::vector<std::string>& packets = cache[{&payload, count}];
  if (!packets.empty()) return packets;
  const size_t chunkBytes = payload.size() / count;
  packets.push_back(TransferPacket("transferLargeStart",
                                   "{\"name\":\"bench\",\"size\":" + std::to_string(count) + "}"));
  for (size_t i = 0; i < count; ++i) {
    std::string chunk =
        payload.substr(i * chunkBytes, i + 1 == count ? std::string::npos : chunkBytes);
    packets.push_back(TransferPacket(
        "transferLargeData", "{\"name\":\"bench\",\"index\":" + std::to_string(i) + ",\"data\":\"" +
                                 vantrel::EscapeJsonString(chunk) + "\",\"hash\":\"" +
                                 vantrel::ChunkHash(chunk) + "\"}"));
  }
  packets.push_back(TransferPacket("transferLargeEnd", "{\"name\":\"bench\"}"));
  return packets;
}

// Hands the packets to the protocol as one panel window would; the last outcome.
inline vantrel::TransferOutcome ReceivePackets(const std::vector<std::string>& packets,
                                               const vantrel::TransferServices& services = {}) {
  vantrel::TransferTable table;
  vantrel::TransferOutcome last;
  for (const std::string& packet : packets)
    last = vantrel::HandleTransferPacket(table, packet, services);
  return last;
}

}  // namespace bench
