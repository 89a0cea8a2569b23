#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace quell {
namespace {

using std::chrono::milliseconds;

// What is not wholly a number in range is refused, never read in part or clamped.
TEST(CommandLine, NumbersAreTakenWholeOrNotAtAll) {
  EXPECT_EQ(parseWholeNumber("42", 0, 100), 42);
  EXPECT_EQ(parseWholeNumber("-3", -5, 5), -3);
  for (const char* bad : {"", "-1", "+1", " 1", "1 ", "1x", "0x10", "101", "99999999999999999999"})
    EXPECT_FALSE(parseWholeNumber(bad, 0, 100)) << bad;

  const milliseconds lo(100), hi(600000);
  EXPECT_EQ(parseMilliseconds("30000", lo, hi), milliseconds(30000));
  EXPECT_EQ(parseMilliseconds("250ms", lo, hi), milliseconds(250));
  EXPECT_EQ(parseMilliseconds("30s", lo, hi), milliseconds(30000));
  EXPECT_EQ(parseMilliseconds("2min", lo, hi), milliseconds(120000));
  for (const char* bad : {"30 s", "s", "ms", "1.5s", "50", "11min", "-1s", "30sec", "1m"})
    EXPECT_FALSE(parseMilliseconds(bad, lo, hi)) << bad;
}

}  // namespace
}  // namespace quell
