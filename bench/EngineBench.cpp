// The engine at scale: a reload's preparation and validity, and the cost of one key,
// each beside the literal form of its rules.
#include "SampleDocument.h"
#include "engine/AbbreviationRules.h"
#include "engine/KeyLog.h"
#include "engine/SnippetPreparation.h"
#include "fake/FakeDesktop.h"
#include "model/SettingsDocument.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kSnippets = 10000;

plist::ArrayPtr freshSnippets()
{
    const plist::DictionaryPtr copy = JVSXSharedExtensions::deeplyMutableAutoreleasedCopy(
        bench::sampleSettingsDocument(kSnippets));
    return copy->value(QStringLiteral("Snippets")).arrayPtr();
}

void BM_PrepareAndValidate10000(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        plist::ArrayPtr snippets = freshSnippets();
        state.ResumeTiming();
        snapwick::prepareSnippets(*snippets, int(state.range(0)), true);
        benchmark::DoNotOptimize(snippets);
    }
}

void BM_LiteralValidity10000(benchmark::State& state)
{
    plist::ArrayPtr snippets = freshSnippets();
    std::vector<snapwick::RuleSubject> subjects;
    for (const plist::Value& r : *snippets)
        subjects.push_back(snapwick::RuleSubject::of(*r.dictionary()));
    for (auto _ : state) {
        int valid = 0;
        for (const snapwick::RuleSubject& s : subjects)
            valid += !snapwick::literalViolation(s, subjects, qsizetype(subjects.size()),
                                                 state.range(0) == 0);
        benchmark::DoNotOptimize(valid);
    }
}

// Keys typed into the key log in mode 0, with 10,000 valid snippets, none of them matching.
void BM_KeyLogPerKeyMode0(benchmark::State& state)
{
    plist::ArrayPtr snippets = freshSnippets();
    snapwick::prepareSnippets(*snippets, 1, true); // mode 1 keeps prefixes valid: all 10,000 count
    snapwick::fake::FakeDesktop desktop;
    snapwick::KeyLog keyLog({desktop, desktop, desktop, desktop});
    keyLog.setSnippets(snippets);
    keyLog.setExpansionMode(0);
    const QString letters = QStringLiteral("thequickbrownfoxjumpsoverthelazydog");
    std::vector<snapwick::KeyEvent> keys;
    for (QChar c : letters)
        keys.push_back({0, QString(c), QString(c)});
    std::size_t i = 0;
    for (auto _ : state) {
        keyLog.keyLog(keys[i]);
        if (++i == keys.size()) {
            i = 0;
            keyLog.clearKeyLog();
        }
    }
}

void BM_LiteralMatchPerKey(benchmark::State& state)
{
    plist::ArrayPtr snippets = freshSnippets();
    snapwick::prepareSnippets(*snippets, 1, true);
    QString log;
    for (auto _ : state) {
        log += u'q';
        benchmark::DoNotOptimize(snapwick::SnippetMatcher::literalMatch(*snippets, log));
        if (log.size() > 8)
            log.clear();
    }
}

} // namespace

BENCHMARK(BM_PrepareAndValidate10000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralValidity10000)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyLogPerKeyMode0)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_LiteralMatchPerKey)->Unit(benchmark::kMicrosecond);

#include "daemon/DaemonSettings.h"
#include "util/Log.h"

#include <QTemporaryDir>

namespace {

// The daemon's reload of a settings file of 10,000 snippets: read, parse, merge, prepare.
void BM_DaemonReload10000(benchmark::State& state)
{
    QTemporaryDir dir;
    const snapwick::SettingsLocation location =
        snapwick::SettingsLocation::inSupportDirectory(dir.path());
    snapwick::writeSettingsDocument(bench::sampleSettingsDocument(kSnippets), location);
    snapwick::DaemonSettings settings({location, [] {}});
    const auto previous = snapwick::setLogSink([](const QString&) {});
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.reloadSettings(true));
    snapwick::setLogSink(previous);
}

} // namespace

BENCHMARK(BM_DaemonReload10000)->Unit(benchmark::kMillisecond);
