#include "storage/SqliteDatabase.h"

#include <gtest/gtest.h>

#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

class SqliteDatabaseTest : public ::testing::Test {
 protected:
  SqliteDatabaseTest() : database(SqliteDatabase::open(dir / "test.sqlite")) {
    EXPECT_TRUE(database->execute("create table t(k text primary key, v)"));
  }
  std::int64_t count() {
    return database->query("select count(*) from t")->front().firstInteger().value_or(-1);
  }

  test::TempDir dir;
  std::unique_ptr<SqliteDatabase> database;
};

TEST_F(SqliteDatabaseTest, ColumnsReadWithTheTypeAskedFor) {
  ASSERT_TRUE(database->execute(
      "insert into t values('int', ?), ('real', ?), ('text', ?), ('digits', ?), "
      "('mixed', ?), ('null', null)",
      {std::int64_t{42}, 2.75, std::string("悟空"), std::string("-17"), std::string("12abc")}));
  const auto rows = database->query("select k, v from t order by rowid");
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 6u);
  const auto& integer = (*rows)[0];
  EXPECT_EQ(integer.integer("v"), 42);
  EXPECT_EQ(integer.real("v"), 42.0);
  EXPECT_EQ(integer.text("v"), "42");
  const auto& real = (*rows)[1];
  EXPECT_EQ(real.integer("v"), 2);  // cut toward zero
  EXPECT_EQ(real.real("v"), 2.75);
  EXPECT_EQ(real.text("v"), "2.75");
  EXPECT_EQ((*rows)[2].text("v"), "悟空");
  EXPECT_FALSE((*rows)[2].integer("v"));
  EXPECT_FALSE((*rows)[2].real("v"));
  EXPECT_EQ((*rows)[3].integer("v"), -17);
  EXPECT_FALSE((*rows)[4].integer("v"));  // text counts as a number only when all of it is one
  const auto& null = (*rows)[5];
  EXPECT_TRUE(null.isNull("v"));
  EXPECT_FALSE(null.text("v"));
  EXPECT_FALSE(null.integer("v"));
  EXPECT_TRUE(null.has("v"));
  EXPECT_FALSE(null.has("missing"));
  EXPECT_TRUE(null.isNull("missing"));
  EXPECT_EQ(null.firstText(), "null");
}

TEST_F(SqliteDatabaseTest, ATransactionKeepsAllOrNothing) {
  EXPECT_TRUE(database->transaction([&] {
    return database->execute("insert into t values('a', 1)") &&
           database->execute("insert into t values('b', 2)");
  }));
  EXPECT_EQ(count(), 2);

  // The second write fails (the key exists): the first is undone with it.
  EXPECT_FALSE(database->transaction([&] {
    return database->execute("insert into t values('c', 3)") &&
           database->execute("insert into t values('a', 4)");
  }));
  EXPECT_EQ(count(), 2);
  EXPECT_FALSE(database->query("select * from t where k = 'c'")->size());

  // Giving up undoes what was written.
  EXPECT_FALSE(database->transaction([&] {
    database->execute("delete from t");
    return false;
  }));
  EXPECT_EQ(count(), 2);

  // One at a time: a transaction cannot begin inside another, and the outer one is unharmed.
  EXPECT_TRUE(database->transaction([&] {
    EXPECT_FALSE(database->transaction([] { return true; }));
    return database->execute("insert into t values('d', 5)");
  }));
  EXPECT_EQ(count(), 3);
}

TEST_F(SqliteDatabaseTest, AnOpenTransactionHoldsOffOtherWriters) {
  auto other = SqliteDatabase::open(dir / "test.sqlite", 50ms);
  ASSERT_TRUE(other);
  bool otherWrote = true;
  EXPECT_TRUE(database->transaction([&] {
    otherWrote = other->execute("insert into t values('x', 1)");
    return database->execute("insert into t values('y', 2)");
  }));
  EXPECT_FALSE(otherWrote);
  EXPECT_TRUE(other->execute("insert into t values('x', 1)"));
  EXPECT_EQ(count(), 2);
}

TEST(SqliteDatabase, AFileThatCannotBeOpenedGivesNothing) {
  test::TempDir dir;
  EXPECT_EQ(SqliteDatabase::open(dir / "no" / "such" / "folder.sqlite"), nullptr);
  EXPECT_EQ(SqliteDatabase::open(dir.path()), nullptr);  // a folder
}

}  // namespace
}  // namespace twig
