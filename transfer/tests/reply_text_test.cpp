// Replies stay JSON whatever a packet held: the strict JSON check, the reply escape, the
// bound on quoted text, and the replies to truncated, binary and invalid UTF-8 payloads.
#include <random>
#include <string>

#include "protocol_test_support.h"
#include "vantrel/demo_schema_handler.h"
#include "vantrel/json_field_readers.h"
#include "vantrel/reply_text.h"

namespace {

using namespace vantrel;
using namespace vantrel::testing;

TEST(IsWellFormedJson, AcceptsOneValueWithWhitespaceAround) {
  for (const char* text :
       {"{}", "[]", " \t\r\n{} ", "0", "-0.5e+3", "1E9", "\"\"", "true", "false", "null",
        "{\"a\":[1,-2.5,true,false,null,\"x\\u00e9\\n\\/\"],\"b\":{}}", "[[],[[]],{\"\":[]}]",
        "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"", "\"\\ud800\""})
    EXPECT_TRUE(IsWellFormedJson(text)) << text;
}

TEST(IsWellFormedJson, RefusesWhatOnlyLooksLikeJson) {
  for (const char* text : {"",           " ",
                           "{",          "{\"a\":",
                           "{\"a\":1,}", "[1,]",
                           "[1 2]",      "{\"a\" 1}",
                           "{1:2}",      "01",
                           "1.",         "-",
                           ".5",         "+1",
                           "tru",        "nul",
                           "{} x",       "[]]",
                           "{]",         "\"abc",
                           "\"\\x\"",    "\"\\u12g4\"",
                           "\"\\u12\"",  "'a'",
                           "[NaN]",      "{\"mode\":\"part\",\"flatNode\":[{\"ty"})
    EXPECT_FALSE(IsWellFormedJson(text)) << text;
  // Raw control characters and bytes that are not UTF-8 are not JSON either.
  EXPECT_FALSE(IsWellFormedJson(std::string("\"a\x01\"")));
  EXPECT_FALSE(IsWellFormedJson(std::string("\"\0\"", 3)));
  EXPECT_FALSE(IsWellFormedJson("\"\xFF\""));
  EXPECT_FALSE(IsWellFormedJson("\"\xC3\""));
  EXPECT_FALSE(IsWellFormedJson("\"\xC0\xAF\""));          // overlong '/'
  EXPECT_FALSE(IsWellFormedJson("\"\xED\xA0\x80\""));      // a surrogate written out
  EXPECT_FALSE(IsWellFormedJson("\"\xF4\x90\x80\x80\""));  // beyond U+10FFFF
}

TEST(IsWellFormedJson, DeepNestingNeedsNoRecursion) {
  // A million levels would overflow any stack a recursive reader used.
  const size_t depth = 1000000;
  EXPECT_TRUE(IsWellFormedJson(std::string(depth, '[') + std::string(depth, ']')));
  EXPECT_FALSE(IsWellFormedJson(std::string(depth, '[') + std::string(depth - 1, ']')));
}

TEST(EscapeJsonReplyString, EscapesControlsAndMendsWhatIsNotUtf8) {
  EXPECT_EQ(EscapeJsonReplyString("\b\t\n\f\r\"\\/"), "\\b\\t\\n\\f\\r\\\"\\\\/");
  EXPECT_EQ(EscapeJsonReplyString(std::string("\x01\x1f\0\x7f", 4)), "\\u0001\\u001f\\u0000\x7f");
  // Valid UTF-8 of every length is kept as it is.
  EXPECT_EQ(EscapeJsonReplyString("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
            "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  // A surrogate written out as three bytes is no character: one U+FFFD a byte.
  EXPECT_EQ(EscapeJsonReplyString("a\xED\xA0\x80z"), "a\\ufffd\\ufffd\\ufffdz");
  // Other bytes that start or continue no valid character become U+FFFD, one each.
  EXPECT_EQ(EscapeJsonReplyString("\xFF"), "\\ufffd");
  EXPECT_EQ(EscapeJsonReplyString("\xC0\xAF"), "\\ufffd\\ufffd");
  EXPECT_EQ(EscapeJsonReplyString("x\xE2\x82"), "x\\ufffd\\ufffd");
  EXPECT_EQ(EscapeJsonReplyString("\x80z"), "\\ufffdz");
}

TEST(EscapeJsonReplyString, AnyBytesMakeAWellFormedStringThatReadsBackWhenValid) {
  std::mt19937 random(24);
  std::uniform_int_distribution<int> byte(0, 255), length(0, 40);
  for (int i = 0; i < 5000; ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n) text.push_back(static_cast<char>(byte(random)));
    const std::string quoted = "\"" + EscapeJsonReplyString(text) + "\"";
    ASSERT_TRUE(IsWellFormedJson(quoted)) << quoted;
  }
  // Text that was valid UTF-8 reads back unchanged.
  const std::string valid = std::string("a\x01\"\\\xC3\xA9\xF0\x9F\x98\x80\0z", 13);
  EXPECT_EQ(FindJsonStringField("{\"k\":\"" + EscapeJsonReplyString(valid) + "\"}", "k"), valid);
}

TEST(BoundQuotedText, CutsBeforeACharacterThatDoesNotFit) {
  EXPECT_EQ(BoundQuotedText("abc", 3), "abc");
  EXPECT_EQ(BoundQuotedText("abcd", 3), "abc...");
  // "a" then the two bytes of e-acute: three bytes fit "a" and one byte of it, so only "a".
  EXPECT_EQ(BoundQuotedText("a\xC3\xA9\xC3\xA9", 2), "a...");
  EXPECT_EQ(BoundQuotedText("a\xC3\xA9\xC3\xA9", 3), "a\xC3\xA9...");
}

class HostileReplies : public ProtocolTest {};

TEST_F(HostileReplies, ATruncatedPartInOnePacketIsEchoedAsAString) {
  const std::string truncated = "{\"mode\":\"part\",\"flatNode\":[{\"type\":\"sk";
  TransferOutcome o = Send(Packet("transferSingle", truncated, "json"));
  ASSERT_EQ(o.kind, TransferOutcomeKind::Completed);
  EXPECT_EQ(o.reply,
            "{\"type\":\"transfer:received\",\"ok\":true,\"data\":{\"type\":\"single\",\"mode\":"
            "\"json\",\"data\":\"{\\\"mode\\\":\\\"part\\\",\\\"flatNode\\\":[{\\\"type\\\":"
            "\\\"sk\"}}");
  EXPECT_TRUE(IsWellFormedJson(o.reply));
  // The draw still gets the text as it came, and reports the parse failure itself.
  ASSERT_EQ(processor_.drawn.size(), 1u);
  EXPECT_EQ(processor_.drawn[0], truncated);
}

TEST_F(HostileReplies, WellFormedJsonIsStillEchoedAsItIs) {
  TransferOutcome o = Send(Packet("transferSingle", "{\"a\":[1,{\"b\":null}]}", "json"));
  EXPECT_EQ(o.reply,
            "{\"type\":\"transfer:received\",\"ok\":true,\"data\":{\"type\":\"single\",\"mode\":"
            "\"json\",\"data\":{\"a\":[1,{\"b\":null}]}}}");
}

TEST_F(HostileReplies, EveryByteInTextOrJsonGivesAWellFormedReply) {
  std::string every;
  for (int c = 0; c < 256; ++c) every.push_back(static_cast<char>(c));
  for (const char* mode : {"text", "json"}) {
    TransferOutcome o = Send(Packet("transferSingle", "{" + every, mode));
    ASSERT_EQ(o.kind, TransferOutcomeKind::Completed) << mode;
    EXPECT_TRUE(IsWellFormedJson(o.reply)) << mode << ": " << o.reply;
  }
}

TEST_F(HostileReplies, ANameThatIsNotUtf8IsQuotedAsValidJsonInRetryAndEcho) {
  // A surrogate written out as three bytes is not UTF-8, and 0xFF is none either.
  const std::string name = std::string("n\x01\xED\xA0\x80\xFF\"", 7);
  ASSERT_EQ(Send(Packet("transferLargeStart", StartBody(name, 2), "text")).kind,
            TransferOutcomeKind::Accepted);
  TransferOutcome retry = Send(Packet("transferLargeEnd", EndBody(name), "text"));
  ASSERT_EQ(retry.kind, TransferOutcomeKind::RetryRequested);
  EXPECT_EQ(retry.reply,
            "{\"cmd\":\"transferLargeRetry\",\"data\":\"{\\\"name\\\":\\\"n\\\\u0001\\\\ufffd"
            "\\\\ufffd\\\\ufffd\\\\ufffd\\\\\\\"\\\",\\\"data\\\":[0,1]}\"}");
  Send(Packet("transferLargeData", DataBody(name, 0, "a"), "text"));
  Send(Packet("transferLargeData", DataBody(name, 1, "b"), "text"));
  TransferOutcome echo = Send(Packet("transferLargeEnd", EndBody(name), "text"));
  ASSERT_EQ(echo.kind, TransferOutcomeKind::Completed);
  EXPECT_TRUE(IsWellFormedJson(echo.reply)) << echo.reply;
  const std::optional<std::string> inner = FindJsonStringField(echo.reply, "data");
  ASSERT_TRUE(inner.has_value());
  EXPECT_TRUE(IsWellFormedJson(*inner)) << *inner;
}

TEST_F(HostileReplies, AnUnknownDemoTypeIsQuotedWithinItsBound) {
  const std::string type = std::string(5000, 'q') + "\xFF";
  TransferOutcome o = Send(
      Packet("transferSingle",
             "{\"schemaVersion\":\"1\",\"units\":\"mm\",\"primitives\":[{\"id\":\"b\",\"type\":\"" +
                 EscapeJsonString(type) + "\",\"origin\":{\"x\":0,\"y\":0,\"z\":0}}]}",
             "text"));
  const std::string answer = DemoSchemaHook(nullptr, o);
  EXPECT_EQ(answer,
            "{\"id\":\"webview-transfer\",\"type\":\"plugin:response\",\"ok\":false,\"error\":{"
            "\"code\":\"schema.invalid\",\"message\":\"unsupported demo primitive type: " +
                std::string(64, 'q') + "...\"}}");
}

}  // namespace
