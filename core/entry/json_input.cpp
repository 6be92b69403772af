#include "entry/json_input.h"

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

namespace kestrun {

namespace {

// Forwards every event to the document and refuses to open a level past the cap.
class DepthLimitedHandler {
 public:
  explicit DepthLimitedHandler(rapidjson::Document& doc) : doc_(doc) {}
  bool tooDeep() const { return tooDeep_; }

  bool Null() { return doc_.Null(); }
  bool Bool(bool b) { return doc_.Bool(b); }
  bool Int(int i) { return doc_.Int(i); }
  bool Uint(unsigned u) { return doc_.Uint(u); }
  bool Int64(int64_t i) { return doc_.Int64(i); }
  bool Uint64(uint64_t u) { return doc_.Uint64(u); }
  bool Double(double d) { return doc_.Double(d); }
  bool RawNumber(const char* s, rapidjson::SizeType n, bool copy) {
    return doc_.RawNumber(s, n, copy);
  }
  bool String(const char* s, rapidjson::SizeType n, bool copy) { return doc_.String(s, n, copy); }
  bool Key(const char* s, rapidjson::SizeType n, bool copy) { return doc_.Key(s, n, copy); }
  bool StartObject() { return enter() && doc_.StartObject(); }
  bool EndObject(rapidjson::SizeType n) { return leave() && doc_.EndObject(n); }
  bool StartArray() { return enter() && doc_.StartArray(); }
  bool EndArray(rapidjson::SizeType n) { return leave() && doc_.EndArray(n); }

 private:
  bool enter() {
    if (depth_ >= kMaxJsonDepth) {
      tooDeep_ = true;
      return false;
    }
    ++depth_;
    return true;
  }
  bool leave() {
    --depth_;
    return true;
  }

  rapidjson::Document& doc_;
  unsigned depth_ = 0;
  bool tooDeep_ = false;
};

}  // namespace

std::size_t skipByteOrderMark(const unsigned char* bytes, std::size_t size) {
  static const unsigned char kMark[3] = {0xEF, 0xBB, 0xBF};
  std::size_t pos = 0;
  for (unsigned char b : kMark) {
    if (pos < size && bytes[pos] == b) ++pos;
  }
  return pos;
}

JsonParseOutcome parseJsonInput(const unsigned char* bytes, std::uint64_t size,
                                rapidjson::Document& doc) {
  const std::size_t skip = skipByteOrderMark(bytes, static_cast<std::size_t>(size));
  // MemoryStream answers NUL at its end, so an embedded NUL ends the text as well.
  rapidjson::MemoryStream stream(reinterpret_cast<const char*>(bytes) + skip,
                                 static_cast<std::size_t>(size) - skip);
  rapidjson::Reader reader(nullptr, 1024);
  DepthLimitedHandler handler(doc);
  rapidjson::ParseResult parsed;
  auto generator = [&](rapidjson::Document&) {
    parsed = reader.Parse<rapidjson::kParseDefaultFlags>(stream, handler);
    return !parsed.IsError();
  };
  doc.Populate(generator);

  JsonParseOutcome outcome;
  outcome.ok = !parsed.IsError();
  if (outcome.ok) return outcome;
  outcome.offset = parsed.Offset();
  if (handler.tooDeep()) {
    outcome.errorText = "The document is nested deeper than " + std::to_string(kMaxJsonDepth) +
                        " levels of arrays and objects.";
  } else {
    outcome.errorText = rapidjson::GetParseError_En(parsed.Code());
  }
  doc.SetNull();
  return outcome;
}

}  // namespace kestrun
