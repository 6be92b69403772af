#include "validate/json_text.h"

#include <cctype>
#include <string>
#include <vector>

#include <rapidjson/encodedstream.h>
#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

namespace kestrun_validate {

namespace {

// Follows the parser through the text, so that where it stops the pointer of the value
// being read is known.
class PathTracker : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, PathTracker> {
 public:
  bool Default() {
    valueDone();
    return true;
  }
  bool String(const char*, rapidjson::SizeType, bool) { return Default(); }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    frames_.back().key.assign(text, length);
    frames_.back().pending = true;
    return true;
  }
  bool StartObject() { return start(false); }
  bool StartArray() { return start(true); }
  bool EndObject(rapidjson::SizeType) { return end(); }
  bool EndArray(rapidjson::SizeType) { return end(); }

  std::string pointer() const {
    std::string out;
    for (const Frame& f : frames_) {
      if (f.array) {
        out += "/" + std::to_string(f.count);
      } else if (f.pending) {
        out += "/" + pointerToken(f.key);
      } else {
        break;
      }
    }
    return out;
  }

 private:
  struct Frame {
    bool array = false;
    std::size_t count = 0;
    std::string key;
    bool pending = false;
  };
  bool start(bool array) {
    frames_.push_back(Frame{array, 0, {}, false});
    return true;
  }
  bool end() {
    frames_.pop_back();
    valueDone();
    return true;
  }
  void valueDone() {
    if (frames_.empty()) return;
    Frame& f = frames_.back();
    if (f.array) ++f.count;
    f.pending = false;
  }
  std::vector<Frame> frames_;
};

void lineAndColumn(std::string_view text, std::size_t offset, int& line, int& column) {
  line = 1;
  column = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
}

char previousNonSpace(std::string_view text, std::size_t offset) {
  while (offset > 0) {
    const char c = text[--offset];
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return c;
  }
  return '\0';
}

bool startsWith(std::string_view text, std::size_t offset, std::string_view word) {
  return text.substr(offset, word.size()) == word;
}

// The fix for the usual ways a text misses JSON.
std::string fixFor(std::string_view text, std::size_t offset) {
  const char at = offset < text.size() ? text[offset] : '\0';
  if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
    return "write a part as {\"flatNode\": [...]} with its sketches and features";
  if ((at == ']' || at == '}') && previousNonSpace(text, offset) == ',')
    return "remove the trailing comma before '" + std::string(1, at) + "'";
  if (startsWith(text, offset, "NaN") || startsWith(text, offset, "Infinity") ||
      startsWith(text, offset, "-Infinity") || startsWith(text, offset, "-NaN"))
    return "write a finite number: JSON has no NaN or Infinity";
  if (at == '\'') return "use double quotes for strings and keys";
  if (at == '/') return "remove the comment: JSON has none";
  if (std::isalpha(static_cast<unsigned char>(at)) && previousNonSpace(text, offset) != ':')
    return "put the key in double quotes";
  if (offset >= text.size()) return "the text ends early: close every '{' and '['";
  return {};
}

}  // namespace

bool parseStrict(std::string_view text, rapidjson::Document& document, Problem& problem) {
  document.Parse<rapidjson::kParseIterativeFlag>(text.data(), text.size());
  if (!document.HasParseError()) return true;
  const std::size_t offset = document.GetErrorOffset();
  PathTracker tracker;
  rapidjson::Reader reader;
  rapidjson::MemoryStream memory(text.data(), text.size());
  rapidjson::EncodedInputStream<rapidjson::UTF8<>, rapidjson::MemoryStream> stream(memory);
  reader.Parse<rapidjson::kParseIterativeFlag>(stream, tracker);
  lineAndColumn(text, offset, problem.line, problem.column);
  problem.pointer = tracker.pointer();
  problem.message = std::string("not JSON at line ") + std::to_string(problem.line) + ", column " +
                    std::to_string(problem.column) + ": " +
                    rapidjson::GetParseError_En(document.GetParseError());
  problem.suggestion = fixFor(text, offset);
  return false;
}

}  // namespace kestrun_validate
