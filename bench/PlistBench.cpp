// Reading and writing a settings document of 10,000 snippets, ours against libplist.
#include "SampleDocument.h"
#include "plist/BinaryFormat.h"
#include "plist/XmlFormat.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <plist/plist.h>

namespace {

constexpr int kSnippets = 10000;

const plist::Value& document()
{
    static const plist::Value doc(bench::sampleSettingsDocument(kSnippets));
    return doc;
}

const QByteArray& xmlBytes()
{
    static const QByteArray bytes = plist::writeXml(document()).bytes;
    return bytes;
}

const QByteArray& binaryBytes()
{
    static const QByteArray bytes = plist::writeBinary(document()).bytes;
    return bytes;
}

plist_t libplistTree()
{
    static plist_t tree = [] {
        plist_t t = nullptr;
        plist_from_xml(xmlBytes().constData(), uint32_t(xmlBytes().size()), &t);
        return t;
    }();
    return tree;
}

void BM_Snapwick_ReadXml(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(plist::readXml(xmlBytes()));
    state.SetBytesProcessed(state.iterations() * xmlBytes().size());
}

void BM_Libplist_ReadXml(benchmark::State& state)
{
    for (auto _ : state) {
        plist_t t = nullptr;
        plist_from_xml(xmlBytes().constData(), uint32_t(xmlBytes().size()), &t);
        benchmark::DoNotOptimize(t);
        plist_free(t);
    }
    state.SetBytesProcessed(state.iterations() * xmlBytes().size());
}

void BM_Snapwick_ReadBinary(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(plist::readBinary(binaryBytes()));
    state.SetBytesProcessed(state.iterations() * binaryBytes().size());
}

void BM_Libplist_ReadBinary(benchmark::State& state)
{
    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(libplistTree(), &bin, &length);
    for (auto _ : state) {
        plist_t t = nullptr;
        plist_from_bin(bin, length, &t);
        benchmark::DoNotOptimize(t);
        plist_free(t);
    }
    state.SetBytesProcessed(state.iterations() * length);
    std::free(bin);
}

void BM_Snapwick_WriteXml(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(plist::writeXml(document()));
}

void BM_Libplist_WriteXml(benchmark::State& state)
{
    for (auto _ : state) {
        char* xml = nullptr;
        uint32_t length = 0;
        plist_to_xml(libplistTree(), &xml, &length);
        benchmark::DoNotOptimize(xml);
        std::free(xml);
    }
}

void BM_Snapwick_WriteBinary(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(plist::writeBinary(document()));
}

void BM_Libplist_WriteBinary(benchmark::State& state)
{
    for (auto _ : state) {
        char* bin = nullptr;
        uint32_t length = 0;
        plist_to_bin(libplistTree(), &bin, &length);
        benchmark::DoNotOptimize(bin);
        std::free(bin);
    }
}

} // namespace

BENCHMARK(BM_Snapwick_ReadXml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libplist_ReadXml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Snapwick_ReadBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libplist_ReadBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Snapwick_WriteXml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libplist_WriteXml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Snapwick_WriteBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libplist_WriteBinary)->Unit(benchmark::kMillisecond);

#include <QXmlStreamReader>
// The floor of our XML reader: Qt's tokenizer alone, building nothing.
static void BM_QXmlStreamReader_TokensOnly(benchmark::State& state)
{
    for (auto _ : state) {
        QXmlStreamReader r(xmlBytes());
        int n = 0;
        while (!r.atEnd()) {
            r.readNext();
            ++n;
        }
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_QXmlStreamReader_TokensOnly)->Unit(benchmark::kMillisecond);
