#pragma once

#include <QTest>

// Folder trees fill in the background, and a busy machine (two cores shared
// by a parallel test run) can take longer than Qt's default five seconds to
// show a file. The waits still end as soon as their condition holds.
#undef QTRY_VERIFY
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, 30000)
#undef QTRY_COMPARE
#define QTRY_COMPARE(expr, expected) QTRY_COMPARE_WITH_TIMEOUT(expr, expected, 30000)
