#include "import/ResourceFork.h"

#include "../plist/TestSupport.h"
#include "ResourceForkWriter.h"
#include "import/AppleDouble.h"
#include "import/MacRoman.h"

#include <random>

using namespace testsupport;
using snapwick::ResourceFork;

namespace {

TEST(ResourceForkTest, ReadsResourceFilesOfThePlatform)
{
    const QByteArray bytes = fixtureBytes("resourcefork/python-rsrcfork/testfile.rsrc");
    SKIP_WITHOUT(bytes);
    const auto fork = ResourceFork::parse(bytes);
    ASSERT_TRUE(fork);
    ASSERT_EQ(fork->count("STR "), 4);
    const auto second = fork->resource("STR ", 2);
    ASSERT_TRUE(second && second->data && second->name);
    EXPECT_EQ(second->id, 129);
    EXPECT_EQ(*second->name, QByteArray("The Name"));
    EXPECT_EQ(second->data->mid(1), QByteArray("The String, with name and no attributes"));
    EXPECT_FALSE(fork->resource("STR ", 1)->name);
    EXPECT_FALSE(fork->resource("STR ", 5));
    EXPECT_EQ(fork->count("STMP"), 0);

    const auto empty = ResourceFork::parse(fixtureBytes("resourcefork/python-rsrcfork/empty.rsrc"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->count("STR "), 0);

    const auto clipping =
        ResourceFork::parse(fixtureBytes("resourcefork/python-rsrcfork/unicode.textClipping.rsrc"));
    ASSERT_TRUE(clipping);
    EXPECT_EQ(snapwick::decodeMacRoman(*clipping->resource("TEXT", 1)->data),
              QStringLiteral("Here is some text, including Üñïçø∂é!"));
}

TEST(ResourceForkTest, FindsTheForkInPlatformAppleDoubleFiles)
{
    const QByteArray sidecar = fixtureBytes("resourcefork/appledouble/._libft.en.pdf");
    SKIP_WITHOUT(sidecar);
    const auto fork = snapwick::resourceForkOfAppleContainer(sidecar);
    ASSERT_TRUE(fork);
    EXPECT_EQ(fork->size(), 286);
    EXPECT_TRUE(ResourceFork::parse(*fork));
    EXPECT_FALSE(
        snapwick::resourceForkOfAppleContainer(fixtureBytes("resourcefork/ciderpress2/._not_adf")));
}

TEST(ResourceForkTest, MacRomanDecodesEveryByte)
{
    EXPECT_EQ(snapwick::decodeMacRoman("\x8e\xa5\xdb\xf0\xbd"), QStringLiteral("é•€\uf8ffΩ"));
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(snapwick::decodeMacRoman(all).size(), 256);
}

// Mutated forks: every one is refused or read within bounds, never beyond the bytes.
TEST(ResourceForkTest, HostileForksNeverReadBeyondTheirBytes)
{
    const QByteArray good =
        writeResourceFork({ResourceSpec{"STMP", 1, QByteArray("n"), QByteArray("text")},
                           ResourceSpec{"STMP", 2, std::nullopt, QByteArray("more")}});
    std::mt19937 random(3);
    for (int round = 0; round < 5000; ++round) {
        QByteArray bad = good;
        for (int k = 0; k < 1 + int(random() % 4); ++k)
            bad[qsizetype(random() % bad.size())] = char(random());
        if (round % 7 == 0)
            bad.truncate(qsizetype(random() % bad.size()));
        const auto fork = ResourceFork::parse(bad);
        if (!fork)
            continue;
        for (qsizetype i = 1; i <= fork->count("STMP"); ++i) {
            const auto r = fork->resource("STMP", i);
            ASSERT_TRUE(r);
            EXPECT_LE(r->data.value_or(QByteArray()).size(), bad.size());
        }
    }
    QByteArray container = writeAppleContainer(good);
    container[qsizetype(26 + 8)] = char(0x7F); // the fork's length, far beyond the end
    EXPECT_FALSE(snapwick::resourceForkOfAppleContainer(container));
}

} // namespace
