#include "platform/user_defaults.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/test_environment.h"

namespace quell {
namespace {

using testing::ScopedDataHome;

TEST(PropertyListCodec, RoundTripsEveryValueType) {
  PropertyList value(
      PropertyListDictionary{{"s", "文字"},
                             {"i", std::int64_t{-42}},
                             {"r", 2.5},
                             {"b", true},
                             {"a", PropertyListArray{"x", 1, PropertyListArray{}, PropertyListDictionary{}}}});
  auto bytes = encodePropertyList(value);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(decodePropertyList(*bytes), value);
}

TEST(PropertyListCodec, RefusesEveryTruncationAndTrailingBytes) {
  auto bytes = *encodePropertyList(PropertyList::stringArray({"退订", "TD", "回T"}));
  for (std::size_t n = 0; n < bytes.size(); ++n)
    EXPECT_FALSE(decodePropertyList(std::string_view(bytes).substr(0, n))) << "prefix of " << n;
  EXPECT_FALSE(decodePropertyList(bytes + "x"));
  // A forged element count far beyond the buffer must not allocate or read past the end.
  std::string forged =
      "a\xff\xff\xff\x7f"
      "s";
  EXPECT_FALSE(decodePropertyList(forged));
  // Nesting deeper than the limit is refused instead of recursing without bound.
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += std::string("a\x01\x00\x00\x00", 5);
  EXPECT_FALSE(decodePropertyList(deep));
}

TEST(UserDefaults, StoresReadsAndReplacesValues) {
  ScopedDataHome home;
  auto defaults = UserDefaults::initWithSuiteName("group.test");
  ASSERT_TRUE(defaults);
  EXPECT_FALSE(defaults->arrayForKey("list"));
  EXPECT_TRUE(defaults->setObjectForKey(PropertyList::stringArray({"a", "b"}), "list"));
  EXPECT_EQ(defaults->arrayForKey("list")->size(), 2u);
  EXPECT_TRUE(defaults->setObjectForKey(PropertyList::stringArray({}), "list"));
  EXPECT_TRUE(defaults->arrayForKey("list")->empty());
  EXPECT_TRUE(defaults->setObjectForKey("not an array", "list"));
  EXPECT_FALSE(defaults->arrayForKey("list"));

  EXPECT_EQ(defaults->integerForKey("count"), 0);
  defaults->registerDefaults({{"count", 7}});
  EXPECT_EQ(defaults->integerForKey("count"), 7);
  EXPECT_TRUE(defaults->setIntegerForKey(8, "count"));
  EXPECT_EQ(defaults->integerForKey("count"), 8);
  EXPECT_TRUE(std::filesystem::exists(home.path() / "quell" / "defaults" / "group.test.sqlite"));
}

TEST(UserDefaults, RefusesBadSuiteNamesAndUnusableFiles) {
  ScopedDataHome home;
  EXPECT_FALSE(UserDefaults::initWithSuiteName(""));
  EXPECT_FALSE(UserDefaults::initWithSuiteName("../escape"));
  EXPECT_FALSE(UserDefaults::initWithSuiteName(".hidden"));

  auto dir = home.path() / "quell" / "defaults";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "group.garbage.sqlite") << std::string(8192, 'G');
  EXPECT_FALSE(UserDefaults::initWithSuiteName("group.garbage"));
  // The garbage file is left untouched: opening never destroys what it cannot read.
  EXPECT_EQ(std::filesystem::file_size(dir / "group.garbage.sqlite"), 8192u);

  // A directory that cannot be created: the data home is a regular file.
  testing::TemporaryDirectory tmp;
  std::ofstream(tmp.path() / "file") << "x";
  setenv("XDG_DATA_HOME", (tmp.path() / "file").c_str(), 1);
  EXPECT_FALSE(UserDefaults::initWithSuiteName("group.nowhere"));
}

TEST(UserDefaults, NoticesAFileReplacedOnDisk) {
  ScopedDataHome home;
  auto defaults = UserDefaults::initWithSuiteName("group.replace");
  ASSERT_TRUE(defaults->setObjectForKey(PropertyList::stringArray({"a"}), "k"));
  auto path = defaults->path();
  defaults.reset();

  // Another program replaces the whole store (its journal files included) with garbage: the cached
  // connection to the old file must not go on answering.
  std::ofstream(path.string() + ".new") << std::string(4096, '\x01');
  std::filesystem::rename(path.string() + ".new", path);
  std::filesystem::remove(path.string() + "-wal");
  std::filesystem::remove(path.string() + "-shm");
  EXPECT_FALSE(UserDefaults::initWithSuiteName("group.replace"));

  std::filesystem::remove(path);
  auto fresh = UserDefaults::initWithSuiteName("group.replace");
  ASSERT_TRUE(fresh);
  EXPECT_FALSE(fresh->arrayForKey("k"));
}

TEST(UserDefaults, CorruptStoredValueReadsAsAbsent) {
  ScopedDataHome home;
  auto defaults = UserDefaults::initWithSuiteName("group.corrupt");
  ASSERT_TRUE(defaults->setObjectForKey(PropertyList::stringArray({"a"}), "k"));
  testing::storeRawSetting("group.corrupt", "k", "\x61\xff\xff\xff\xff\x73");
  EXPECT_FALSE(defaults->objectForKey("k"));
  // Readers that must not write over it can tell it from an absent value.
  EXPECT_EQ(defaults->storedObjectForKey("k").state, StoredObject::State::kUnreadable);
  EXPECT_EQ(defaults->storedObjectForKey("other").state, StoredObject::State::kAbsent);
  defaults->registerDefaults({{"k", 7}});
  EXPECT_EQ(defaults->integerForKey("k"), 7);  // the fallback of a plain read is unchanged
  EXPECT_EQ(defaults->storedObjectForKey("k").state, StoredObject::State::kUnreadable);
}

TEST(UserDefaults, MultiKeyWriteIsAllOrNothing) {
  ScopedDataHome home;
  auto defaults = UserDefaults::initWithSuiteName("group.batch");
  ASSERT_TRUE(defaults->setObjectsForKeys({{"a", 1}, {"b", 2}}));
  EXPECT_EQ(defaults->integerForKey("a"), 1);
  EXPECT_EQ(defaults->integerForKey("b"), 2);

  // While another connection holds the write lock, the batch fails as a whole, says so, and changes nothing.
  {
    testing::StoreWriteLock other(defaults->path());
    auto written = defaults->setObjectsForKeys({{"a", 10}, {"b", 20}});
    EXPECT_EQ(written.code(), StoreError::kBusy);
  }
  EXPECT_EQ(defaults->integerForKey("a"), 1);
  EXPECT_EQ(defaults->integerForKey("b"), 2);
}

TEST(UserDefaults, ConcurrentProcessesWritingDifferentKeysLoseNothing) {
  ScopedDataHome home;
  ASSERT_TRUE(UserDefaults::initWithSuiteName("group.shared"));
  constexpr int kWriters = 4, kWrites = 50;
  EXPECT_TRUE(testing::allChildrenSucceed(kWriters, [](int w) {
    // Each child opens its own connection, as another program would.
    int failures = 0;
    for (int i = 1; i <= kWrites; ++i) {
      auto store = UserDefaults::initWithSuiteName("group.shared");
      // A write may meet the lock for longer than the busy timeout; the writer then retries, as the store
      // reported that nothing was written.
      while (!store || !store->setIntegerForKey(i, "writer" + std::to_string(w)))
        if (++failures > 1000) return 1;
    }
    return 0;
  }));
  auto defaults = UserDefaults::initWithSuiteName("group.shared");
  for (int w = 0; w < kWriters; ++w) EXPECT_EQ(defaults->integerForKey("writer" + std::to_string(w)), kWrites);
}

}  // namespace
}  // namespace quell
