// The field readers skip long literals and decode them 64 bytes at a time; on any text they
// must answer exactly as the plain byte-by-byte readers kept in reference_field_readers.cpp.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "json_literal_scan.h"
#include "reference_field_readers.h"
#include "vantrel/chunk_hash.h"
#include "vantrel/json_field_readers.h"

namespace {

const std::vector<std::string> kKeys = {"cmd", "data", "mode", "name", "index", "hash", "k", ""};

void ExpectSameAnswers(const std::string& text) {
  for (const std::string& key : kKeys) {
    ASSERT_EQ(vantrel::FindJsonStringField(text, key), reference::FindJsonStringField(text, key))
        << "key " << key << " in " << text;
    ASSERT_EQ(vantrel::FindJsonIntField(text, key), reference::FindJsonIntField(text, key))
        << "key " << key << " in " << text;
    for (size_t from : {size_t{0}, size_t{1}, text.size() / 2}) {
      size_t fast = 0, slow = 0;
      ASSERT_EQ(vantrel::FindJsonKeyValue(text, key, from, &fast),
                reference::FindJsonKeyValue(text, key, from, &slow));
      ASSERT_EQ(fast, slow);
    }
  }
  // Read onto the end of a text, with the chunk hash on the way: the same value, hashed.
  for (const std::string& key : kKeys) {
    std::string out = "kept";
    uint32_t hash = vantrel::kChunkHashSeed;
    const std::optional<std::string> value = reference::FindJsonStringField(text, key);
    ASSERT_EQ(vantrel::JsonFieldScanner(text).AppendStringField(key, out, &hash),
              value.has_value());
    ASSERT_EQ(out, "kept" + value.value_or(""));
    ASSERT_EQ(vantrel::ChunkHashText(hash), vantrel::ChunkHash(value.value_or("")));
  }
  for (size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] != '"') continue;
    size_t fast = pos, slow = pos;
    ASSERT_EQ(vantrel::ReadJsonStringLiteral(text, fast),
              reference::ReadJsonStringLiteral(text, slow))
        << "literal at " << pos << " in " << text;
    ASSERT_EQ(fast, slow);
  }
}

// Text made mostly of what the readers look at: quotes, backslashes, escape letters, colons.
std::string RandomText(std::mt19937& random, size_t length) {
  static const char kAlphabet[] = "\"\"\"\\\\\\\\/unbtx:: {},0123aAdkcmoe\xC3\xA9";
  std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 2);
  std::string text;
  for (size_t i = 0; i < length; ++i) text.push_back(kAlphabet[pick(random)]);
  return text;
}

TEST(FieldReaderEquivalence, RandomTextsDenseInQuotesAndBackslashes) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<size_t> length(0, 300);
  for (int round = 0; round < 3000; ++round) {
    std::string text = RandomText(random, length(random));
    // Give most texts a key to find, somewhere.
    if (round % 2 == 0) text.insert(length(random) % (text.size() + 1), "\"k\":\"");
    ExpectSameAnswers(text);
  }
}

// Both ways of packing a window: the byte shuffle (where the processor has it) and the loop.
class WindowPacking : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { vantrel::UseByteShuffle(GetParam()); }
  void TearDown() override { vantrel::UseByteShuffle(true); }
};

INSTANTIATE_TEST_SUITE_P(FieldReaderEquivalence, WindowPacking, ::testing::Bool());

TEST_P(WindowPacking, BackslashRunsAcrossEveryWindowEdge) {
  // Runs of one to five backslashes ending on each byte around the 64-byte edges, followed by
  // a quote, an escape letter or a plain byte: odd runs escape what follows, even runs do not.
  for (size_t runLength = 1; runLength <= 5; ++runLength) {
    for (size_t end = 56; end <= 200; ++end) {
      for (char after : {'"', 'n', 'u', 'x', '/', 'a'}) {
        std::string inside(end - runLength, 'a');
        inside += std::string(runLength, '\\');
        inside.push_back(after);
        inside += "00E9 tail\\\"";
        const std::string text = "{\"k\":\"" + inside + "\",\"mode\":\"json\"}";
        ExpectSameAnswers(text);
      }
    }
  }
}

TEST_P(WindowPacking, EscapedChunksOfEveryLengthReadBack) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  for (size_t size = 0; size < 400; ++size) {
    std::string chunk;
    for (size_t i = 0; i < size; ++i) {
      // Mostly the bytes part JSON is made of, with every other byte now and then.
      const int pick = byte(random);
      chunk.push_back(pick < 64   ? '"'
                      : pick < 80 ? '\\'
                      : pick < 96 ? static_cast<char>(byte(random))
                                  : 'x');
    }
    const std::string body = "{\"name\":\"n\",\"index\":3,\"data\":\"" +
                             vantrel::EscapeJsonString(chunk) + "\",\"hash\":\"" +
                             vantrel::ChunkHash(chunk) + "\"}";
    const std::string packet = "{\"cmd\":\"transferLargeData\",\"data\":\"" +
                               vantrel::EscapeJsonString(body) + "\",\"mode\":\"json\"}";
    ASSERT_EQ(vantrel::FindJsonStringField(packet, "data"), body);
    ASSERT_EQ(vantrel::FindJsonStringField(body, "data"), chunk);
    ExpectSameAnswers(packet);
  }
}

TEST(FieldReaderEquivalence, OneScannerReadsFieldsInAnyOrderAsSingleReadsDo) {
  const std::string longText(500, 'x');
  const std::vector<std::string> texts = {
      // The common packet, and the same with its mode before the data.
      "{\"cmd\":\"transferLargeData\",\"data\":\"" + longText + "\\\"\",\"mode\":\"json\"}",
      "{\"mode\":\"json\",\"cmd\":\"transferLargeData\",\"data\":\"" + longText + "\"}",
      // A key that only appears escaped inside the data is not a key.
      "{\"cmd\":\"c\",\"data\":\"" + longText + "\\\"mode\\\":\\\"json\\\"\"}",
      // A key whose opening quote is escaped inside the long literal and whose closing quote
      // closes it: a text search finds it, so the scanner must too.
      "{\"cmd\":\"c\",\"data\":\"" + longText + "\\\"mode\":\"texts\",\"x\":1}",
      // An unterminated long literal.
      "{\"cmd\":\"c\",\"data\":\"" + longText + "\\\"mode\\\":\\\"json\\\"",
  };
  for (const std::string& text : texts) {
    for (const auto& order : std::vector<std::vector<std::string>>{
             {"cmd", "data", "mode"}, {"mode", "data", "cmd"}, {"data", "data", "mode"}}) {
      vantrel::JsonFieldScanner scanner(text);
      for (const std::string& key : order) {
        EXPECT_EQ(scanner.StringField(key), reference::FindJsonStringField(text, key))
            << key << " in " << text;
      }
    }
  }
  EXPECT_EQ(vantrel::FindJsonStringField(texts[3], "mode"), "texts");
  EXPECT_FALSE(vantrel::FindJsonStringField(texts[2], "mode").has_value());
}

}  // namespace
