// Archiving a large formatted snippet, and the per-row work of lists and menus.
#include "SampleDocument.h"
#include "archive/TypedStream.h"
#include "model/FormattedText.h"
#include "plist/Array.h"
#include "text/TextArchive.h"

#include <benchmark/benchmark.h>

namespace {

// About 10 KB of text in alternating styles, with five pictures.
text::AttributedString styledSnippet()
{
    text::Attributes plain, bold;
    plain.set(text::AttributeName::Font, text::Font{QStringLiteral("Helvetica"), 13});
    bold.set(text::AttributeName::Font, text::Font{QStringLiteral("Helvetica-Bold"), 13});
    bold.set(text::AttributeName::ForegroundColor, text::Color::rgb(0.5, 0.25, 0));
    text::AttributedString s;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const auto attached = JVSXSharedExtensions::attributedStringWithAttachedTIFFImage(picture);
    for (int i = 0; i < 160; ++i) {
        s.append(QStringLiteral("Some replacement text, sentence %1. ").arg(i, 3),
                 i % 2 ? bold : plain);
        s.append(QStringLiteral("More of it follows here; "), plain);
        if (i % 32 == 0 && attached)
            s.append(*attached);
    }
    return s;
}

void BM_ArchiveFormattedSnippet(benchmark::State& state)
{
    const text::AttributedString s = styledSnippet();
    for (auto _ : state)
        benchmark::DoNotOptimize(archive::encodeRootObject(text::archiveAttributedString(s)));
    state.counters["chars"] = double(s.length());
}

void BM_UnarchiveFormattedSnippet(benchmark::State& state)
{
    const QByteArray bytes =
        archive::encodeRootObject(text::archiveAttributedString(styledSnippet()));
    for (auto _ : state) {
        const archive::DecodeResult r = archive::decodeTypedStream(bytes);
        benchmark::DoNotOptimize(text::attributedStringFromArchive(*r.root()->object));
    }
    state.counters["bytes"] = double(bytes.size());
}

void BM_Preview10000Records(benchmark::State& state)
{
    const plist::DictionaryPtr doc = bench::sampleSettingsDocument(10000);
    const plist::Array& snippets = *doc->arrayForKey(QStringLiteral("Snippets"));
    for (auto _ : state) {
        for (const plist::Value& record : snippets)
            benchmark::DoNotOptimize(
                JVSXSharedExtensions::plainSnippetReplacementWithSimplifications(
                    *record.dictionary(), true));
    }
}

void BM_ClearZeroCharacters10000Records(benchmark::State& state)
{
    const plist::DictionaryPtr doc = bench::sampleSettingsDocument(10000);
    const plist::Array& snippets = *doc->arrayForKey(QStringLiteral("Snippets"));
    for (auto _ : state) {
        for (const plist::Value& record : snippets)
            JVSXSharedExtensions::clearZeroCharacters(*record.dictionary());
    }
}

} // namespace

BENCHMARK(BM_ArchiveFormattedSnippet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UnarchiveFormattedSnippet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Preview10000Records)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClearZeroCharacters10000Records)->Unit(benchmark::kMicrosecond);
