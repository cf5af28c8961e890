// Importing large files of other products.
#include "ResourceForkWriter.h"
#include "import/SnippetImport.h"
#include "plist/Array.h"
#include "plist/Dictionary.h"
#include "plist/XmlFormat.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
}

void BM_ImportTypinatorSet10000(benchmark::State& state)
{
    QTemporaryDir dir;
    plist::Value entries = plist::Value::newArray();
    for (int i = 0; i < 10000; ++i) {
        plist::Value e = plist::Value::newDictionary();
        e.dictionary()->set(QStringLiteral("Abbreviation"), QStringLiteral("t%1").arg(i));
        e.dictionary()->set(QStringLiteral("Expansion"),
                            QStringLiteral("Dated {YYYY}-{MM}-{DD} {h24}:{m}, entry %1").arg(i));
        e.dictionary()->set(QStringLiteral("Case"), QStringLiteral("ignore"));
        entries.array()->append(e);
    }
    plist::Value root = plist::Value::newDictionary();
    root.dictionary()->set(QStringLiteral("Abbreviations"), entries);
    const QString path = writeFile(dir, QStringLiteral("set.plist"), plist::writeXml(root).bytes);
    for (auto _ : state) {
        plist::Array snippets;
        benchmark::DoNotOptimize(
            JVSXSharedExtensions::appendSnippetsFromFile(snippets, path, nullptr, 0));
    }
}

void BM_ImportTypeIt4MeFork5000(benchmark::State& state)
{
    QTemporaryDir dir;
    QList<testsupport::ResourceSpec> resources;
    for (int i = 0; i < 5000; ++i)
        resources.append({"STMP", std::int16_t(128 + i), QByteArray("ab") + QByteArray::number(i),
                          QByteArray("Snippet text [[6]] number ") + QByteArray::number(i) + '\0'});
    const QString path =
        writeFile(dir, QStringLiteral("Snippets"), testsupport::writeResourceFork(resources));
    for (auto _ : state) {
        plist::Array snippets;
        benchmark::DoNotOptimize(
            JVSXSharedExtensions::appendSnippetsFromFile(snippets, path, nullptr, 0));
    }
}

// Inserting a large file at the front of a large list: one move of the tail, not n.
void BM_ImportAtTheFrontOf10000(benchmark::State& state)
{
    QTemporaryDir dir;
    plist::Value records = plist::Value::newArray();
    for (int i = 0; i < 10000; ++i)
        records.array()->append(plist::Value::newDictionary());
    plist::Value root = plist::Value::newDictionary();
    root.dictionary()->set(QStringLiteral("Snippets"), records);
    const QString path = writeFile(dir, QStringLiteral("s.plist"), plist::writeXml(root).bytes);
    for (auto _ : state) {
        plist::Array snippets = *records.array();
        qsizetype index = 0;
        benchmark::DoNotOptimize(
            JVSXSharedExtensions::appendSnippetsFromFile(snippets, path, &index, 0));
    }
}

} // namespace

BENCHMARK(BM_ImportTypinatorSet10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportTypeIt4MeFork5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportAtTheFrontOf10000)->Unit(benchmark::kMillisecond);
