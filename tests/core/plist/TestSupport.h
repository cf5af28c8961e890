#pragma once

#include "../../QtPrinters.h"
#include "plist/Array.h"
#include "plist/Dictionary.h"
#include "plist/PropertyList.h"

#include <QFile>
#include <gtest/gtest.h>

namespace testsupport {

inline QString fixturePath(const char* relative)
{
    return QStringLiteral(SNAPWICK_FIXTURES_DIR "/") + QString::fromUtf8(relative);
}

// The bytes of a fixture, or an empty array when the fixtures are not beside the tree.
inline QByteArray fixtureBytes(const char* relative)
{
    QFile f(fixturePath(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

#define SKIP_WITHOUT(bytes)                                                                        \
    if (!(bytes).isEmpty()) {                                                                      \
    } else                                                                                         \
        GTEST_SKIP() << "fixture not available"

// A tree with every value type, nested, for round trips.
inline plist::Value sampleTree()
{
    using plist::Value;
    Value root = Value::newDictionary();
    plist::Dictionary& d = *root.dictionary();
    d.set(QStringLiteral("string"), QStringLiteral("Grüße <&> \"quoted\" 'single' \t\n\r end"));
    d.set(QStringLiteral("emoji 😀"), QStringLiteral("😀 and ✓"));
    d.set(QStringLiteral("empty"), QString());
    d.set(QStringLiteral("data"), QByteArray("\x00\x01\xFFsome bytes", 13));
    d.set(QStringLiteral("int"), -80000000000LL);
    d.set(QStringLiteral("small"), 7);
    d.set(QStringLiteral("big unsigned"),
          plist::Integer{std::int64_t(18446744073709551615ULL), true});
    d.set(QStringLiteral("min"), plist::Integer{INT64_MIN, false});
    d.set(QStringLiteral("real"), 0.1);
    d.set(QStringLiteral("true"), true);
    d.set(QStringLiteral("false"), false);
    d.set(QStringLiteral("date"), plist::Date{120050013.0});
    Value list = Value::newArray();
    list.array()->append(QStringLiteral("a"));
    list.array()->append(Value::newDictionary());
    list.array()->append(Value::newArray());
    Value inner = Value::newDictionary();
    inner.dictionary()->set(QStringLiteral("Plain Text"), QStringLiteral("x"));
    list.array()->append(inner);
    d.set(QStringLiteral("list"), list);
    return root;
}

inline plist::Value nested(int depth)
{
    plist::Value v = plist::Value::newArray();
    plist::Value top = v;
    for (int i = 0; i < depth; ++i) {
        plist::Value child = plist::Value::newArray();
        v.array()->append(child);
        v = child;
    }
    return top;
}

} // namespace testsupport
