#include <gtest/gtest.h>

#include "vantrel/chunk_hash.h"
#include "vantrel/json_field_readers.h"
#include "vantrel/plugin_response.h"
#include "vantrel/transfer_mode.h"

using namespace vantrel;

TEST(FindJsonStringField, ReadsEscapesAndUnicode) {
  EXPECT_EQ(FindJsonStringField("{\"k\":\"v\"}", "k"), "v");
  EXPECT_EQ(FindJsonStringField("{ \"k\" \t\r\n: \n \"v\" }", "k"), "v");
  EXPECT_EQ(FindJsonStringField(R"({"k":"a\"b\/c\\d\b\f\n\r\t"})", "k"), "a\"b/c\\d\b\f\n\r\t");
  EXPECT_EQ(FindJsonStringField(R"({"k":"\u00E9\u00e9"})", "k"), "\xC3\xA9\xC3\xA9");
  EXPECT_EQ(FindJsonStringField(R"({"k":"\u0041\u20AC"})", "k"), "A\xE2\x82\xAC");
  EXPECT_EQ(FindJsonStringField(R"({"k":"\u0000"})", "k"), std::string(1, '\0'));
  EXPECT_EQ(FindJsonStringField("{\"k\":\"raw \xC3\xA9\x01\"}", "k"), "raw \xC3\xA9\x01");
}

TEST(FindJsonStringField, SurrogatePairsCombineAndLoneOnesAreReplaced) {
  EXPECT_EQ(FindJsonStringField(R"({"k":"\ud83d\ude00"})", "k"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(FindJsonStringField(R"({"k":"\ud83dx"})", "k"), "\xEF\xBF\xBDx");
  EXPECT_EQ(FindJsonStringField(R"({"k":"\ude00"})", "k"), "\xEF\xBF\xBD");
  EXPECT_EQ(FindJsonStringField(R"({"k":"\ud83d\u0041"})", "k"),
            "\xEF\xBF\xBD"
            "A");
}

TEST(FindJsonStringField, UnreadableLiteralsMoveOnToTheNextOccurrence) {
  EXPECT_EQ(FindJsonStringField(R"({"k":"\x41","k":"second"})", "k"), "second");
  EXPECT_EQ(FindJsonStringField(R"({"k":"\u12G4","k":"second"})", "k"), "second");
  EXPECT_EQ(FindJsonStringField(R"({"k":5,"k":"second"})", "k"), "second");
  EXPECT_EQ(FindJsonStringField(R"({"a":"k","k":"v"})", "k"), "v");
  EXPECT_FALSE(FindJsonStringField(R"({"k":"\x41"})", "k").has_value());
  EXPECT_FALSE(FindJsonStringField(R"({"k":"open)", "k").has_value());
  EXPECT_FALSE(FindJsonStringField(R"({"k":"ends in \)", "k").has_value());
  EXPECT_FALSE(FindJsonStringField(R"({"k":"\u00)", "k").has_value());
  EXPECT_FALSE(FindJsonStringField(R"({"k" "v"})", "k").has_value());
  EXPECT_FALSE(FindJsonStringField(R"({"kk":"v"})", "k").has_value());
  EXPECT_FALSE(FindJsonStringField("", "k").has_value());
  EXPECT_FALSE(FindJsonStringField(R"({"k":)", "k").has_value());
}

TEST(FindJsonIntField, ReadsLikeStrtolWithinThirtyTwoBits) {
  EXPECT_EQ(FindJsonIntField(R"({"n":42})", "n"), 42);
  EXPECT_EQ(FindJsonIntField(R"({"n": -7 })", "n"), -7);
  EXPECT_EQ(FindJsonIntField(R"({"n":+7})", "n"), 7);
  EXPECT_EQ(FindJsonIntField(R"({"n":3.5})", "n"), 3);
  EXPECT_EQ(FindJsonIntField(R"({"n":12abc})", "n"), 12);
  EXPECT_EQ(FindJsonIntField(R"({"n":2147483647})", "n"), 2147483647);
  EXPECT_EQ(FindJsonIntField(R"({"n":-2147483648})", "n"), INT32_MIN);
  EXPECT_FALSE(FindJsonIntField(R"({"n":2147483648})", "n").has_value());
  EXPECT_FALSE(FindJsonIntField(R"({"n":-2147483649})", "n").has_value());
  EXPECT_FALSE(FindJsonIntField(R"({"n":99999999999999999999999})", "n").has_value());
  EXPECT_FALSE(FindJsonIntField(R"({"n":"5"})", "n").has_value());
  EXPECT_FALSE(FindJsonIntField(R"({"n":-})", "n").has_value());
  EXPECT_FALSE(FindJsonIntField(R"({"n":})", "n").has_value());
  EXPECT_FALSE(FindJsonIntField(R"({"m":1})", "n").has_value());
}

TEST(FindJsonIntField, OnlyTheFirstKeyPositionCounts) {
  EXPECT_FALSE(FindJsonIntField(R"({"n":"x","n":5})", "n").has_value());
  // An occurrence that is a value, not a key, is passed over.
  EXPECT_EQ(FindJsonIntField(R"({"name":"index","index":4})", "index"), 4);
}

TEST(LooksLikeJson, FirstSignificantCharacter) {
  for (const char* yes :
       {"{", "[1]", " \t\r\n\"s\"", "-1", "0", "9", "true", "false", "null", "nope"}) {
    EXPECT_TRUE(LooksLikeJson(yes)) << yes;
  }
  for (const char* no : {"", "   ", "hello", "+1", "'x'", ".5", "\v{"}) {
    EXPECT_FALSE(LooksLikeJson(no)) << no;
  }
}

TEST(EscapeJsonString, SevenEscapesAndControlCharacters) {
  EXPECT_EQ(EscapeJsonString("\b\t\n\f\r\"\\"), "\\b\\t\\n\\f\\r\\\"\\\\");
  EXPECT_EQ(EscapeJsonString("/ \xC3\xA9 \x7F"), "/ \xC3\xA9 \x7F");
  EXPECT_EQ(EscapeJsonString(std::string("\x01\x1f\0", 3)), "\\u0001\\u001f\\u0000");
  // What is escaped reads back unchanged.
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  EXPECT_EQ(FindJsonStringField("{\"k\":\"" + EscapeJsonString(all) + "\"}", "k"), all);
}

TEST(ChunkHash, FnvOneA32InLowercaseHex) {
  EXPECT_EQ(ChunkHash(""), "811c9dc5");
  EXPECT_EQ(ChunkHash("a"), "e40c292c");
  EXPECT_EQ(ChunkHash("foobar"), "bf9cf968");
  EXPECT_EQ(ChunkHash("\xC3\xA9"), ChunkHash(std::string("\xC3\xA9")));
  EXPECT_EQ(ChunkHash("\xFF").size(), 8u);
}

TEST(PluginResponse, SerialisesOkAndErrorForms) {
  EXPECT_EQ(SerializePluginResponse(MakeOkPluginResponse("r\"1", "{\"n\":1}")),
            "{\"id\":\"r\\\"1\",\"type\":\"plugin:response\",\"ok\":true,\"result\":{\"n\":1}}");
  EXPECT_EQ(SerializePluginResponse(MakeOkPluginResponse("r", "")),
            "{\"id\":\"r\",\"type\":\"plugin:response\",\"ok\":true,\"result\":{}}");
  EXPECT_EQ(SerializePluginResponse(MakeErrorPluginResponse("r", "c.x", "bad \"thing\"")),
            "{\"id\":\"r\",\"type\":\"plugin:response\",\"ok\":false,\"error\":{\"code\":\"c.x\","
            "\"message\":\"bad \\\"thing\\\"\"}}");
  EXPECT_EQ(SerializePluginResponse(MakeErrorPluginResponse("r", "c", "m", "[1,2]")),
            "{\"id\":\"r\",\"type\":\"plugin:response\",\"ok\":false,\"error\":{\"code\":\"c\","
            "\"message\":\"m\",\"details\":[1,2]}}");
}

TEST(ParseTransferMode, ExactlyTheFiveModeNames) {
  EXPECT_EQ(ParseTransferMode("json"), TransferMode::Json);
  EXPECT_EQ(ParseTransferMode("jsons"), TransferMode::Jsons);
  EXPECT_EQ(ParseTransferMode("text"), TransferMode::Text);
  EXPECT_EQ(ParseTransferMode("texts"), TransferMode::Texts);
  EXPECT_EQ(ParseTransferMode("base64"), TransferMode::Base64);
  for (const char* other : {"", "JSON", "json ", "Text", "base64url", "js"}) {
    EXPECT_FALSE(ParseTransferMode(other).has_value()) << other;
  }
}
