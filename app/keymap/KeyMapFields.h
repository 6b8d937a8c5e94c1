#pragma once
// The number in one of the dialog's digits-only fields.

#include <QString>

#include <algorithm>

// The decimal value of the leading digits of text, 0 without digits; a value too long for an
// int counts as 1 000 000 000.
inline int digitFieldValue(const QString& text) {
    long long v = 0;
    for (const QChar c : text) {
        if (!c.isDigit())
            break;
        v = std::min<long long>(v * 10 + c.digitValue(), 1'000'000'000LL);
    }
    return static_cast<int>(v);
}
