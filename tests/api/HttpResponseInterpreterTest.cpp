#include "api/HttpResponseInterpreter.h"

#include <gtest/gtest.h>

namespace twig {
namespace {

HttpResponse answer(long status, std::string contentType, std::string body) {
  HttpResponse response;
  response.status = status;
  response.contentType = std::move(contentType);
  response.body = std::move(body);
  return response;
}

TEST(HttpResponseInterpreter, JsonAnswersWithA2xxStatusSucceed) {
  auto ok = HttpResponseInterpreter::interpret(answer(200, "application/json", R"({"approvalStatus":1})"));
  EXPECT_TRUE(ok.success);
  ASSERT_TRUE(ok.object);
  EXPECT_EQ((*ok.object)["approvalStatus"], 1);

  auto refused = HttpResponseInterpreter::interpret(
      answer(202, "application/json; charset=utf-8", R"({"errorCode":10101,"errorDescription":"x"})"));
  EXPECT_TRUE(refused.success);
  EXPECT_EQ((*refused.object)["errorCode"], 10101);

  for (const char* type : {"text/json", "TEXT/JavaScript", "application/json;charset=UTF-8"}) {
    EXPECT_TRUE(HttpResponseInterpreter::interpret(answer(200, type, "[1,2]")).success) << type;
  }
}

TEST(HttpResponseInterpreter, AnAnswerNestedDeeperThanTheLimitIsAFailureNamingIt) {
  const std::string deep = R"({"apps":)" + std::string(100000, '[') + std::string(100000, ']') + "}";
  const auto result = HttpResponseInterpreter::interpret(answer(200, "application/json", deep));
  EXPECT_FALSE(result.success);
  EXPECT_FALSE(result.object.has_value());
  ASSERT_TRUE(result.error);
  EXPECT_EQ(result.error->domain, Error::kBadJson);
  EXPECT_EQ(result.error->description, "the answer is nested deeper than 64 levels");
  // The protocol's own answers stay well inside the limit.
  EXPECT_TRUE(HttpResponseInterpreter::interpret(answer(200, "application/json", R"({"a":[[[{"b":[1]}]]]})"))
                  .success);
}

TEST(HttpResponseInterpreter, EmptyAndNullBodiesAreNoAnswer) {
  for (const auto& response : {answer(200, "", ""), answer(200, "application/json", "  \n"),
                               answer(204, "text/html", ""), answer(200, "application/json", "null")}) {
    const auto result = HttpResponseInterpreter::interpret(response);
    EXPECT_TRUE(result.success) << response.body;
    EXPECT_FALSE(result.object.has_value()) << response.body;
  }
}

TEST(HttpResponseInterpreter, NonJsonAnswersFail) {
  const auto html = HttpResponseInterpreter::interpret(answer(200, "text/html", "<html></html>"));
  EXPECT_FALSE(html.success);
  EXPECT_EQ(html.error->domain, Error::kContentType);
  EXPECT_FALSE(html.object.has_value());

  const auto untyped = HttpResponseInterpreter::interpret(answer(200, "", R"({"a":1})"));
  EXPECT_FALSE(untyped.success);
  EXPECT_EQ(untyped.error->domain, Error::kContentType);

  const auto broken = HttpResponseInterpreter::interpret(answer(200, "application/json", "{broken"));
  EXPECT_FALSE(broken.success);
  EXPECT_EQ(broken.error->domain, Error::kBadJson);
}

TEST(HttpResponseInterpreter, ErrorStatusesFailButKeepTheirBody) {
  const auto notFound =
      HttpResponseInterpreter::interpret(answer(404, "application/json", R"({"errorCode":30204})"));
  EXPECT_FALSE(notFound.success);
  EXPECT_EQ(notFound.error->domain, Error::kStatus);
  EXPECT_EQ(notFound.error->code, 404);
  ASSERT_TRUE(notFound.object);
  EXPECT_EQ((*notFound.object)["errorCode"], 30204);

  const auto crashed = HttpResponseInterpreter::interpret(answer(500, "text/html", "<h1>oops</h1>"));
  EXPECT_FALSE(crashed.success);
  EXPECT_EQ(crashed.error->code, 500);
  EXPECT_FALSE(crashed.object.has_value());

  const auto redirect = HttpResponseInterpreter::interpret(answer(302, "", ""));
  EXPECT_FALSE(redirect.success);
}

TEST(HttpResponseInterpreter, TransportErrorsFailWithTheirCode) {
  HttpResponse lost;
  lost.transportError = 7;
  lost.transportErrorText = "Couldn't connect to server";
  const auto result = HttpResponseInterpreter::interpret(lost);
  EXPECT_FALSE(result.success);
  EXPECT_EQ(result.error->domain, Error::kTransport);
  EXPECT_EQ(result.error->code, 7);
}

}  // namespace
}  // namespace twig
