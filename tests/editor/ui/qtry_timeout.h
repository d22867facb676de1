#pragma once

#include <QTest>

// Every wait in the window tests is for something sure to come: a window's
// deletion posted as it closes, a file-system notice, a timer's tick. The
// bound only keeps a broken test from hanging, so it is long enough that a
// busy machine never reaches it; the waits end as soon as their condition
// holds.
namespace tamrisk::test {
constexpr int kWaitMs = 30000;
}  // namespace tamrisk::test

#undef QTRY_VERIFY
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, tamrisk::test::kWaitMs)
#undef QTRY_COMPARE
#define QTRY_COMPARE(expr, expected) \
  QTRY_COMPARE_WITH_TIMEOUT(expr, expected, tamrisk::test::kWaitMs)
