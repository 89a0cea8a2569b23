#include "platform/sqlite_database.h"

#include <gtest/gtest.h>

#include "tests/support/test_environment.h"

namespace quell {
namespace {

class SqliteDatabaseTest : public ::testing::Test {
 protected:
  SqliteDatabase open() {
    auto db = SqliteDatabase::openDurable(path_, std::chrono::milliseconds(50));
    EXPECT_TRUE(db) << db.message();
    return std::move(*db);
  }
  std::int64_t rows(SqliteDatabase& db) {
    auto count = db.prepare("SELECT COUNT(*) FROM t");
    if (!count) return -1;
    auto row = count->nextRow();
    return row && *row ? count->columnInt64(0) : -1;
  }
  testing::TemporaryDirectory dir_;
  std::filesystem::path path_ = dir_.path() / "nested" / "store.sqlite";
};

TEST_F(SqliteDatabaseTest, ATransactionLeftWithoutCommitIsRolledBack) {
  SqliteDatabase db = open();
  ASSERT_TRUE(db.execute("CREATE TABLE t(v TEXT)"));
  {
    SqliteTransaction transaction(db);
    ASSERT_TRUE(transaction.begun());
    ASSERT_TRUE(db.execute("INSERT INTO t VALUES('lost')"));
  }  // an early return, as on an error path
  EXPECT_EQ(rows(db), 0);
  {
    SqliteTransaction transaction(db);
    ASSERT_TRUE(db.execute("INSERT INTO t VALUES('kept')"));
    ASSERT_TRUE(transaction.commit());
    EXPECT_FALSE(transaction.commit());  // once only
  }
  EXPECT_EQ(rows(db), 1);
}

TEST_F(SqliteDatabaseTest, AnotherWritersLockIsBusyAndChangesNothing) {
  {
    SqliteDatabase db = open();
    ASSERT_TRUE(db.execute("CREATE TABLE t(v TEXT)"));
  }
  SqliteDatabase db = open();
  {
    testing::StoreWriteLock other(path_);
    SqliteTransaction transaction(db);
    ASSERT_FALSE(transaction.begun());
    EXPECT_EQ(transaction.begun().code(), StoreError::kBusy);
    EXPECT_EQ(transaction.commit().code(), StoreError::kBusy);
    EXPECT_EQ(db.execute("INSERT INTO t VALUES('x')").code(), StoreError::kBusy);
    EXPECT_EQ(rows(db), 0);  // reading goes on beside the writer
  }
  SqliteTransaction transaction(db);
  EXPECT_TRUE(transaction.begun());
}

TEST_F(SqliteDatabaseTest, TextAndBlobsComeBackWholeWithTheirNulBytes) {
  SqliteDatabase db = open();
  ASSERT_TRUE(db.execute("CREATE TABLE t(v TEXT, b BLOB, n TEXT)"));
  const std::string text("before\0after\xe4\xb8\xad", 15);
  auto insert = db.prepare("INSERT INTO t VALUES(?1, ?2, ?3)");
  ASSERT_TRUE(insert);
  insert->bindText(1, text);
  insert->bindBlob(2, text);
  insert->bindOptionalText(3, std::nullopt);
  ASSERT_TRUE(insert->run());
  auto select = db.prepare("SELECT v, b, n FROM t");
  auto row = select->nextRow();
  ASSERT_TRUE(row && *row);
  EXPECT_EQ(select->columnText(0), text);
  EXPECT_EQ(select->columnBlob(1), text);
  EXPECT_EQ(select->columnOptionalText(2), std::nullopt);
  row = select->nextRow();
  ASSERT_TRUE(row);
  EXPECT_FALSE(*row);
}

}  // namespace
}  // namespace quell
