#pragma once

#include <QTest>

#include <cmath>

// Compares two doubles within an absolute tolerance and prints both on failure.
#define KVX_COMPARE_NEAR(actual, expected, tolerance)                                              \
    do {                                                                                           \
        const double kvxActual_ = (actual);                                                        \
        const double kvxExpected_ = (expected);                                                    \
        if (!(std::abs(kvxActual_ - kvxExpected_) <= (tolerance)))                                 \
            QFAIL(qPrintable(QStringLiteral("%1 is %2, expected %3 within %4")                     \
                                 .arg(QStringLiteral(#actual))                                     \
                                 .arg(kvxActual_, 0, 'g', 17)                                      \
                                 .arg(kvxExpected_, 0, 'g', 17)                                    \
                                 .arg(double(tolerance))));                                        \
    } while (false)
