#include "storage/TableStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "control/AppRecord.h"
#include "control/ControlGroupRecord.h"
#include "storage/StoredNames.h"
#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

AppRecord app(const std::string& package, const std::string& group, const std::string& name = "App") {
  AppRecord model;
  model.appPackage = package;
  model.appName = name;
  model.version = "1.0";
  model.processName = package.substr(package.rfind('.') + 1);
  model.groupId = group;
  return model;
}

class TableStoreTest : public ::testing::Test {
 protected:
  std::vector<std::string> columnsOf(const std::string& table) {
    auto database = SqliteDatabase::open(store.databaseFile());
    std::vector<std::string> names;
    const auto rows = database->query("pragma table_info(" + SqliteDatabase::quoteIdentifier(table) + ")");
    for (const auto& row : *rows) names.push_back(*row.text("name"));
    return names;
  }
  std::vector<std::string> packagesIn(const std::string& group) {
    std::vector<std::string> packages;
    if (auto rows = store.fetchSpecificData(AppRecord(), "groupId", Json(group))) {
      for (const auto& row : *rows) packages.push_back(row["appPackage"]);
    }
    return packages;
  }

  test::TempDir dir;
  TableStore store{dir / stored::kDatabaseFile};
};

TEST_F(TableStoreTest, TheFirstInsertCreatesTheTableInDeclarationOrder) {
  EXPECT_FALSE(store.fetchAllData(ControlGroupRecord()).has_value());  // missing table
  ControlGroupRecord group;
  group.groupName = "社交";
  group.type = Json(1);
  ASSERT_TRUE(store.insertData(group));
  ASSERT_TRUE(store.insertData(ControlGroupRecord()));
  EXPECT_EQ(
      columnsOf("TWIGAppControlGroupModel"),
      (std::vector<std::string>{"seq", "groupId", "groupName", "type", "startTime", "endTime", "week"}));
  const auto rows = store.fetchAllData(ControlGroupRecord());
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 2u);
  const Json& first = (*rows)[0];
  EXPECT_EQ(first["groupId"], *group.groupId);
  EXPECT_EQ(first["groupName"], "社交");
  EXPECT_EQ(first["type"], "1");  // every value reads back as text
  EXPECT_EQ(first["startTime"], "06:00");
  EXPECT_EQ(first["week"], "0,1,2,3,4,5,6");
  EXPECT_FALSE(first.contains("seq"));
  // Rows map back into records through the model mapping.
  const auto record = Model::fetchModelOfClass<ControlGroupRecord>(first);
  EXPECT_EQ(record->type, Json(1));
}

TEST_F(TableStoreTest, EmptyResultsAreNothingAndAbsentValuesAreEmptyText) {
  ASSERT_TRUE(store.insertData(app("a.b", "g")));
  ASSERT_TRUE(store.clearAllData(AppRecord()));
  EXPECT_FALSE(store.fetchAllData(AppRecord()).has_value());
  AppRecord blank;
  blank.appName.reset();
  ASSERT_TRUE(store.insertData(blank));
  const auto rows = store.fetchAllData(AppRecord());
  ASSERT_TRUE(rows);
  EXPECT_EQ((*rows)[0]["appName"], "");
  EXPECT_FALSE(store.fetchSpecificData(AppRecord(), "appPackage", Json("nobody")).has_value());
}

TEST_F(TableStoreTest, FetchingOneColumnLeavesTheOthersEmpty) {
  ASSERT_TRUE(store.insertData(app("com.a.chat", "g1", "Chat")));
  const auto rows = store.fetchSpecificData(AppRecord(), "appPackage");
  ASSERT_TRUE(rows);
  EXPECT_EQ((*rows)[0]["appPackage"], "com.a.chat");
  EXPECT_EQ((*rows)[0]["appName"], "");
  EXPECT_EQ((*rows)[0]["groupId"], "");
  EXPECT_EQ((*rows)[0].size(), 5u);
}

TEST_F(TableStoreTest, WhereTextComparesAsTextAndNumbersAsNumbers) {
  ControlGroupRecord other;
  ControlGroupRecord games;
  games.type = Json(2);
  ASSERT_TRUE(store.insertData(other));
  ASSERT_TRUE(store.insertData(games));
  const auto byNumber = store.fetchSpecificData(ControlGroupRecord(), "type", Json(0));
  ASSERT_TRUE(byNumber);
  ASSERT_EQ(byNumber->size(), 1u);
  EXPECT_EQ((*byNumber)[0]["groupId"], *other.groupId);
  // The type was stored as a number: the text "0" does not equal it.
  EXPECT_FALSE(store.fetchSpecificData(ControlGroupRecord(), "type", Json("0")).has_value());
  const auto byText = store.fetchSpecificData(ControlGroupRecord(), "groupId", Json(*games.groupId));
  ASSERT_TRUE(byText);
  EXPECT_EQ((*byText)[0]["type"], "2");
}

TEST_F(TableStoreTest, ClearingRestartsTheRowNumbering) {
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(store.insertData(app("p" + std::to_string(i), "g")));
  ASSERT_TRUE(store.clearAllData(AppRecord()));
  ASSERT_TRUE(store.insertData(app("fresh", "g")));
  auto database = SqliteDatabase::open(store.databaseFile());
  const auto rows = database->query("select seq from TWGIAppsModel");
  ASSERT_EQ(rows->size(), 1u);
  EXPECT_EQ(rows->at(0).integer("seq"), 1);
  EXPECT_FALSE(store.clearAllData(ControlGroupRecord()));  // no such table yet
}

TEST_F(TableStoreTest, UpdateDataMovesRowsBetweenGroupsAndNothingElse) {
  ASSERT_TRUE(store.insertData(app("com.a.one", "A", "One")));
  ASSERT_TRUE(store.insertData(app("com.a.two", "A", "Two")));
  ASSERT_TRUE(store.insertData(app("com.c.three", "C", "Three")));
  AppRecord target;
  target.groupId = "B";
  target.appName = "must not be written";
  ASSERT_TRUE(store.updateData(target, "groupId", "A"));
  EXPECT_TRUE(packagesIn("A").empty());
  EXPECT_EQ(packagesIn("B"), (std::vector<std::string>{"com.a.one", "com.a.two"}));
  EXPECT_EQ(packagesIn("C"), (std::vector<std::string>{"com.c.three"}));
  const auto moved = store.fetchSpecificData(AppRecord(), "appPackage", Json("com.a.two"));
  EXPECT_EQ((*moved)[0]["appName"], "Two");
  EXPECT_EQ((*moved)[0]["version"], "1.0");
  EXPECT_FALSE(store.updateData(target, std::nullopt, "A"));
}

TEST_F(TableStoreTest, SpecificUpdatesChangeOnlyTheNamedColumns) {
  ControlGroupRecord group;
  ASSERT_TRUE(store.insertData(group));
  ControlGroupRecord change;
  change.startTime = "08:00";
  change.endTime = "20:30";
  change.week = "1,2,3";
  change.groupName = "not named";
  ASSERT_TRUE(store.updateSpecificDataChangeKeys(
      change, std::vector<std::string>{"week", "startTime", "endTime"}, "groupId", *group.groupId));
  auto row = (*store.fetchAllData(ControlGroupRecord()))[0];
  EXPECT_EQ(row["startTime"], "08:00");
  EXPECT_EQ(row["endTime"], "20:30");
  EXPECT_EQ(row["week"], "1,2,3");
  EXPECT_EQ(row["groupName"], "");

  change.groupName = "游戏";
  ASSERT_TRUE(store.updateSpecificDataChangeKey(change, "groupName", "groupId", *group.groupId));
  EXPECT_EQ((*store.fetchAllData(ControlGroupRecord()))[0]["groupName"], "游戏");

  EXPECT_FALSE(store.updateSpecificDataChangeKey(change, std::nullopt, "groupId", "x"));
  EXPECT_FALSE(store.updateSpecificDataChangeKey(change, "week", std::nullopt, "x"));
  EXPECT_FALSE(store.updateSpecificDataChangeKeys(change, std::nullopt, "groupId", "x"));
  EXPECT_FALSE(
      store.updateSpecificDataChangeKeys(change, std::vector<std::string>{"nonsense"}, "groupId", "x"));
}

TEST_F(TableStoreTest, ValuesThatLookLikeSqlAreDataOnly) {
  const std::string sneaky = "x' OR '1'='1";
  const std::string dropper = "'); drop table TWGIAppsModel; --";
  ASSERT_TRUE(store.insertData(app(sneaky, "G1", sneaky)));
  ASSERT_TRUE(store.insertData(app(dropper, "G2", dropper)));
  ASSERT_TRUE(store.insertData(app("plain", "G3")));

  const auto found = store.fetchSpecificData(AppRecord(), "appPackage", Json(sneaky));
  ASSERT_TRUE(found);
  ASSERT_EQ(found->size(), 1u);
  EXPECT_EQ((*found)[0]["appName"], sneaky);
  EXPECT_EQ((*store.fetchSpecificData(AppRecord(), "appPackage", Json(dropper)))[0]["appName"], dropper);

  AppRecord moved;
  moved.groupId = "Moved";
  ASSERT_TRUE(store.updateSpecificDataChangeKey(moved, "groupId", "appPackage", sneaky));
  EXPECT_EQ(packagesIn("Moved"), (std::vector<std::string>{sneaky}));
  EXPECT_EQ(packagesIn("G3"), (std::vector<std::string>{"plain"}));

  ASSERT_TRUE(store.deleteData(AppRecord(), "appPackage", dropper));
  const auto rest = store.fetchAllData(AppRecord());
  ASSERT_TRUE(rest);
  EXPECT_EQ(rest->size(), 2u);
  EXPECT_FALSE(store.deleteData(AppRecord(), "appPackage = appPackage; --", "x"));
  EXPECT_EQ(store.fetchAllData(AppRecord())->size(), 2u);
  EXPECT_FALSE(store.fetchSpecificData(AppRecord(), "1=1 or appPackage").has_value());
}

TEST_F(TableStoreTest, ARecordThatNoLongerMatchesItsTableIsRefused) {
  {
    auto database = SqliteDatabase::open(store.databaseFile());
    ASSERT_TRUE(
        database->execute("create table TWGIAppsModel(seq integer primary key autoincrement, appPackage)"));
  }
  EXPECT_FALSE(store.insertData(app("a", "g")));
  EXPECT_EQ(columnsOf("TWGIAppsModel"), (std::vector<std::string>{"seq", "appPackage"}));
}

TEST_F(TableStoreTest, TwoThreadsInsertingAndFetchingLoseNoRow) {
  constexpr int kEach = 100;
  std::atomic<int> failures{0};
  auto work = [&](const std::string& group) {
    for (int i = 0; i < kEach; ++i) {
      if (!store.insertData(app(group + "." + std::to_string(i), group))) ++failures;
      if (i % 10 == 0 && !store.fetchSpecificData(AppRecord(), "groupId", Json(group))) ++failures;
    }
  };
  std::thread a(work, "A");
  std::thread b(work, "B");
  a.join();
  b.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(store.fetchAllData(AppRecord())->size(), 2u * kEach);
}

TEST_F(TableStoreTest, ABusyDatabaseIsWaitedFor) {
  ASSERT_TRUE(store.insertData(app("first", "g")));
  auto holder = SqliteDatabase::open(store.databaseFile());
  ASSERT_TRUE(holder->execute("begin exclusive"));
  std::atomic<bool> inserted{false};
  std::thread writer([&] { inserted = store.insertData(app("second", "g")); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(inserted.load());  // still waiting for the lock
  ASSERT_TRUE(holder->execute("commit"));
  writer.join();
  EXPECT_TRUE(inserted.load());
  EXPECT_EQ(store.fetchAllData(AppRecord())->size(), 2u);
}

}  // namespace
}  // namespace twig
