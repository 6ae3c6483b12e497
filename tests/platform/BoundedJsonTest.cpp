#include "platform/BoundedJson.h"

#include <gtest/gtest.h>

namespace twig {
namespace {

std::string nested(std::size_t depth, char open = '[', char close = ']') {
  return std::string(depth, open) + std::string(depth, close);
}

TEST(BoundedJson, NestingUpToTheLimitIsReadAndDeeperIsRefusedBeforeAnyTreeIsBuilt) {
  EXPECT_TRUE(BoundedJson::parse(nested(64)).value.has_value());
  const auto deeper = BoundedJson::parse(nested(65));
  EXPECT_FALSE(deeper.value.has_value());
  EXPECT_TRUE(deeper.tooDeep);
  // The payload that once crashed the agent: read and refused without touching the stack.
  const auto hostile = BoundedJson::parse(nested(100000));
  EXPECT_TRUE(hostile.tooDeep);
  EXPECT_TRUE(BoundedJson::parseOrDiscard(nested(100000)).is_discarded());
  // Objects count like arrays, and mixed nesting adds up.
  std::string objects;
  for (int i = 0; i < 40; ++i) objects += R"({"a":[)";
  objects += "1";
  for (int i = 0; i < 40; ++i) objects += "]}";
  EXPECT_TRUE(BoundedJson::parse(objects).tooDeep);
  EXPECT_TRUE(BoundedJson::parse(objects, 80).value.has_value());
  EXPECT_EQ(BoundedJson::depthProblem(64), "nested deeper than 64 levels");
}

TEST(BoundedJson, BracketsInsideStringsDoNotCount) {
  const std::string text = R"({"a":")" + std::string(1000, '[') + R"(\"[{","b":"\\"})";
  const auto result = BoundedJson::parse(text, 1);
  ASSERT_TRUE(result.value.has_value()) << text;
  EXPECT_EQ((*result.value)["b"], "\\");
  // An escaped quote does not end the string: the brackets after it are still inside.
  EXPECT_FALSE(BoundedJson::deeperThan(R"(["\"[[[["])", 1));
  // After an escaped backslash the quote does end it.
  EXPECT_TRUE(BoundedJson::deeperThan(R"(["\\",[[]]])", 2));
}

TEST(BoundedJson, TextThatIsNotJsonIsNothingButNotTooDeep) {
  for (const char* text : {"", "{", "]]]]", "[1,]", "{\"a\":}", "nul"}) {
    const auto result = BoundedJson::parse(text);
    EXPECT_FALSE(result.value.has_value()) << text;
    EXPECT_FALSE(result.tooDeep) << text;
  }
  // Closing brackets first cannot buy depth for what follows.
  EXPECT_TRUE(BoundedJson::deeperThan(std::string(100, ']') + nested(65), 64));
  EXPECT_EQ(*BoundedJson::parse("3").value, 3);
}

}  // namespace
}  // namespace twig
