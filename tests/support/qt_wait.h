// Waiting in GUI tests: runs the event loop until a condition holds, so tests do not depend on how fast
// animations and transfers are on a loaded machine.
#pragma once

#include <QTest>

namespace quell::testing {

template <typename Condition>
bool waitFor(Condition condition, int timeoutMs = 10000) {
  for (int waited = 0; waited < timeoutMs && !condition(); waited += 20) QTest::qWait(20);
  return condition();
}

}  // namespace quell::testing
