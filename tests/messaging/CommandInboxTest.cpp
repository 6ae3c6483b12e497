#include "messaging/CommandInbox.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/AtomicFile.h"
#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

constexpr long long kNow = 1'800'000'000'000;

TEST(CommandInbox, WhatWasTakenAndNotAnsweredRunsAgainOnceInOrder) {
  test::TempDir dir;
  const auto file = dir / "inbox.jsonl";
  {
    CommandInbox inbox(file);
    EXPECT_TRUE(inbox.takeUnanswered(kNow).empty());
    ASSERT_TRUE(inbox.received("A", R"({"RequestApps":{"commandUuid":"A"}})", kNow));
    ASSERT_TRUE(
        inbox.received("B", "{\"RequestChildInfo\":{\"commandUuid\":\"B\",\"text\":\"line\\nnext\"}}", kNow));
    ASSERT_TRUE(inbox.received("C", R"({"RequestLocation":{"commandUuid":"C"}})", kNow));
    inbox.answered("A");
    inbox.answered("not-a-request");  // an event's identifier: ignored
    EXPECT_EQ(inbox.open(), 2u);
  }  // killed here: the records are the kernel's, no flush needed
  CommandInbox next(file);
  EXPECT_EQ(
      next.takeUnanswered(kNow + 1000),
      (std::vector<std::string>{"{\"RequestChildInfo\":{\"commandUuid\":\"B\",\"text\":\"line\\nnext\"}}",
                                R"({"RequestLocation":{"commandUuid":"C"}})"}));
  // They stay open until answered: a second crash before that runs them again.
  EXPECT_EQ(next.open(), 2u);
  next.received("B", "ignored: already open", kNow + 2000);
  next.answered("B");
  CommandInbox third(file);
  EXPECT_EQ(third.takeUnanswered(kNow + 3000),
            (std::vector<std::string>{R"({"RequestLocation":{"commandUuid":"C"}})"}));
}

TEST(CommandInbox, OnlyRequestsWithAnIdentifierWithinTheWindowAndWholeLines) {
  EXPECT_TRUE(CommandInbox::keeps("RequestApps"));
  EXPECT_FALSE(CommandInbox::keeps("EventIconUpload"));
  EXPECT_FALSE(CommandInbox::keeps("bills"));
  test::TempDir dir;
  const auto file = dir / "inbox.jsonl";
  {
    CommandInbox inbox(file);
    inbox.takeUnanswered(kNow);
    EXPECT_TRUE(inbox.received("", R"({"RequestApps":{}})", kNow));  // nothing to tell its answer by
    inbox.received("old", R"({"RequestApps":{"commandUuid":"old"}})", kNow - 11 * 60 * 1000);
    inbox.received("new", R"({"RequestApps":{"commandUuid":"new"}})", kNow);
  }
  // A record cut by a kill in the middle of its write, and noise.
  std::ofstream(file, std::ios::app) << "{\"r\":\"cut\",\"t\":1800000000000,\"p\":\"{\\\"Requ";
  CommandInbox next(file);
  EXPECT_EQ(next.takeUnanswered(kNow),
            (std::vector<std::string>{R"({"RequestApps":{"commandUuid":"new"}})"}));
}

TEST(CommandInbox, TheFileShrinksOnceItsRecordsAreSettled) {
  test::TempDir dir;
  const auto file = dir / "inbox.jsonl";
  CommandInbox inbox(file);
  inbox.takeUnanswered(kNow);
  inbox.received("kept", R"({"RequestApps":{"commandUuid":"kept"}})", kNow);
  const std::string padding(1000, 'x');
  for (int i = 0; i < 600; ++i) {
    const std::string id = "id-" + std::to_string(i);
    inbox.received(id, "{\"RequestApps\":{\"commandUuid\":\"" + id + "\",\"pad\":\"" + padding + "\"}}",
                   kNow);
    inbox.answered(id);
  }
  EXPECT_LT(std::filesystem::file_size(file), CommandInbox::kCompactBytes + 4096);
  CommandInbox next(file);
  EXPECT_EQ(next.takeUnanswered(kNow),
            (std::vector<std::string>{R"({"RequestApps":{"commandUuid":"kept"}})"}));
}

}  // namespace
}  // namespace twig
