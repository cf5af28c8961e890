// End to end on a real X server: Xvfb, a real Qt text window and xterm, the engine with
// its X11 backends, keys typed through XTEST by xdotool.
#include "../QtPrinters.h"
#include "X11Session.h"
#include "model/FormattedText.h"
#include "model/SettingsDocument.h"
#include "model/SnippetRecord.h"
#include "plist/Array.h"
#include "plist/XmlFormat.h"
#include "x11/X11Clipboard.h"
#include "x11/X11Connection.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace snapwick;

namespace {

using testsupport::pause;
using testsupport::run;
using testsupport::waitUntil;
using testsupport::XServer;

XServer* theServer = nullptr;

class X11EndToEndTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        theServer = new XServer;
        if (!theServer->start()) {
            delete theServer;
            theServer = nullptr;
        }
    }
    static void TearDownTestSuite()
    {
        delete theServer;
        theServer = nullptr;
    }

    void SetUp() override
    {
        if (!theServer)
            GTEST_SKIP() << "no Xvfb";
        ASSERT_TRUE(m_dir.isValid());
        m_x = x11::X11Connection::open();
        ASSERT_TRUE(m_x);
    }

    void TearDown() override
    {
        for (QProcess* p : {&m_daemon, &m_window}) {
            p->kill();
            p->waitForFinished(3000);
        }
        run(QStringLiteral("setxkbmap"), {QStringLiteral("us")});
    }

    struct Snippet
    {
        QString abbreviation;
        QString text;
        int mode = 0;
        text::AttributedStringPtr formatted = nullptr;
    };

    void startDaemon(const std::vector<Snippet>& snippets, int expanderMode, bool restore = false)
    {
        auto doc = std::make_shared<plist::Dictionary>();
        doc->setInteger(expanderMode, QStringLiteral("Expander Mode"));
        doc->setBool(restore, QStringLiteral("Restore Pasteboard"));
        plist::Value list = plist::Value::newArray();
        for (const Snippet& s : snippets) {
            plist::Value r = plist::Value::newDictionary();
            JVSXSharedExtensions::setSnippetAbbreviation(*r.dictionary(), s.abbreviation);
            JVSXSharedExtensions::setPlainSnippetReplacement(*r.dictionary(), s.text);
            JVSXSharedExtensions::setSnippetAbbreviationMode(*r.dictionary(), s.mode);
            JVSXSharedExtensions::setFormattedSnippetReplacement(*r.dictionary(), s.formatted);
            list.array()->append(r);
        }
        doc->set(QStringLiteral("Snippets"), list);
        ASSERT_TRUE(testsupport::startDaemon(m_daemon, m_dir.path(), doc))
            << "the daemon did not start";
    }

    void startWindow(const QString& program = QStringLiteral(SNAPWICK_TEXT_WINDOW),
                     const QString& title = QStringLiteral("SnapwickTestWindow"))
    {
        m_report = m_dir.filePath(QStringLiteral("report.json"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   QStringLiteral("xcb")); // a real window, not the tests' offscreen one
        m_window.setProcessEnvironment(env);
        m_window.start(program, {m_report});
        ASSERT_TRUE(m_window.waitForStarted(5000));
        ASSERT_TRUE(waitUntil([&] { return QFile::exists(m_report); }, 10000))
            << "the test window did not show";
        run(QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--name"), title,
             QStringLiteral("windowfocus")});
        pause(200);
    }

    QJsonObject report() const
    {
        QFile f(m_report);
        return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object()
                                           : QJsonObject();
    }

    // Waits until the window shows `expected`, and gives what it shows then.
    QString windowText(const QString& expected, int timeoutMs = 4000)
    {
        waitUntil([&] { return report().value(QStringLiteral("text")).toString() == expected; },
                  timeoutMs);
        pause(100); // let anything that would still come arrive
        return report().value(QStringLiteral("text")).toString();
    }

    // Waits until the window's text has not changed for a while: the expansion is done.
    void waitForStableText(int quietMs = 300)
    {
        QString last = report().value(QStringLiteral("text")).toString();
        QElapsedTimer quiet;
        quiet.start();
        waitUntil(
            [&] {
                const QString now = report().value(QStringLiteral("text")).toString();
                if (now != last) {
                    last = now;
                    quiet.restart();
                }
                return quiet.elapsed() >= quietMs;
            },
            5000);
    }

    static void type(const QString& text, int delayMs = 40)
    {
        if (text.isEmpty())
            return;
        run(QStringLiteral("xdotool"),
            {QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delayMs), text});
    }
    static void key(const QString& keys)
    {
        run(QStringLiteral("xdotool"),
            QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")} +
                keys.split(u' '));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<x11::X11Connection> m_x;
    QProcess m_daemon, m_window;
    QString m_report;
};

struct ModeCase
{
    friend std::ostream& operator<<(std::ostream& os, const ModeCase& c) { return os << c.name; }
    const char* name;
    int expanderMode;
    QString text;
    QString typed; // up to the key that triggers
    QString after; // typed once the expansion is done
    QString expected;
    int cursorFromEnd = 0;
};

class X11ExpanderModeTest : public X11EndToEndTest, public ::testing::WithParamInterface<ModeCase>
{};

TEST_P(X11ExpanderModeTest, ExpandsInAQtWindow)
{
    const ModeCase& c = GetParam();
    startWindow();
    startDaemon({{QStringLiteral("sig"), c.text, 2}}, c.expanderMode);
    type(c.typed);
    waitForStableText();
    type(c.after);
    EXPECT_EQ(windowText(c.expected), c.expected);
    EXPECT_EQ(report().value(QStringLiteral("cursor")).toInt(),
              c.expected.size() - c.cursorFromEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, X11ExpanderModeTest,
    ::testing::Values(
        ModeCase{"immediately", 0, QStringLiteral("Regards"), QStringLiteral("Hi sig"), QString(),
                 QStringLiteral("Hi regards")},
        ModeCase{"after_space", 1, QStringLiteral("Regards"), QStringLiteral("Hi sig "),
                 QStringLiteral("now"), QStringLiteral("Hi regards now")},
        ModeCase{"removing_space", 2, QStringLiteral("Regards"), QStringLiteral("Hi sig "),
                 QStringLiteral("x"), QStringLiteral("Hi regardsx")},
        ModeCase{"keep_space_with_plus", 2, QStringLiteral("Regards%+"), QStringLiteral("Hi sig "),
                 QStringLiteral("x"), QStringLiteral("Hi regards x")},
        ModeCase{"remove_space_with_minus", 1, QStringLiteral("Regards%-"),
                 QStringLiteral("Hi sig "), QStringLiteral("x"), QStringLiteral("Hi regardsx")},
        ModeCase{"apply_case_upper", 1, QStringLiteral("regards"), QStringLiteral("SIG "),
                 QString(), QStringLiteral("REGARDS ")},
        ModeCase{"apply_case_capital", 1, QStringLiteral("regards"), QStringLiteral("Sig "),
                 QString(), QStringLiteral("Regards ")},
        ModeCase{"cursor_marker", 1, QStringLiteral("(%|)"), QStringLiteral("sig "), QString(),
                 QStringLiteral("() "), 2},
        ModeCase{"cursor_codes", 1, QStringLiteral("[]%<"), QStringLiteral("sig "), QString(),
                 QStringLiteral("[] "), 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(X11EndToEndTest, ExpandsInAGtkWindow)
{
    startWindow(QStringLiteral(SNAPWICK_GTK_TEXT_WINDOW), QStringLiteral("SnapwickGtkWindow"));
    startDaemon({{QStringLiteral("sig"), QStringLiteral("Regards, %|!")}}, 1);
    type(QStringLiteral("Hi sig "));
    EXPECT_EQ(windowText(QStringLiteral("Hi Regards, ! ")), QStringLiteral("Hi Regards, ! "));
    EXPECT_EQ(report().value(QStringLiteral("cursor")).toInt(), 12);
}

TEST_F(X11EndToEndTest, AFormattedSnippetArrivesAsRichText)
{
    text::Attributes bold;
    bold.set(text::AttributeName::Font, text::Font{QStringLiteral("DejaVuSans-Bold"), 14});
    const auto formatted =
        std::make_shared<text::AttributedString>(QStringLiteral("Strong words"), bold);
    startWindow();
    startDaemon({{QStringLiteral("sw"), QStringLiteral("Strong words"), 0, formatted}}, 1);
    type(QStringLiteral("sw "));
    EXPECT_EQ(windowText(QStringLiteral("Strong words ")), QStringLiteral("Strong words "));
    EXPECT_TRUE(report().value(QStringLiteral("bold")).toBool());
}

TEST_F(X11EndToEndTest, APictureSnippetArrivesAsAPicture)
{
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const auto formatted = JVSXSharedExtensions::attributedStringWithAttachedTIFFImage(picture);
    ASSERT_TRUE(formatted);
    startWindow();
    startDaemon({{QStringLiteral("pic"), QString(QChar(0xFFFC)), 0, formatted}}, 1);
    type(QStringLiteral("pic "));
    EXPECT_TRUE(
        waitUntil([&] { return report().value(QStringLiteral("images")).toInt() == 1; }, 4000))
        << QJsonDocument(report()).toJson().toStdString();
}

// xterm selects nothing with Shift+Left and pastes the primary selection with Shift+Insert:
// the abbreviation goes with Backspace, and the replacement rides on PRIMARY too.
TEST_F(X11EndToEndTest, ExpandsInXtermWithBackspaceAndShiftInsert)
{
    const QString out = m_dir.filePath(QStringLiteral("xterm.txt"));
    QProcess xterm;
    xterm.start(QStringLiteral("xterm"),
                {QStringLiteral("-geometry"), QStringLiteral("80x10+0+0"), QStringLiteral("-e"),
                 QStringLiteral("bash"), QStringLiteral("--norc"), QStringLiteral("-c"),
                 QStringLiteral("read -e line; printf %s \"$line\" > '%1'").arg(out)});
    ASSERT_TRUE(xterm.waitForStarted(5000));
    ASSERT_EQ(
        run(QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
             QStringLiteral("--class"), QStringLiteral("XTerm"), QStringLiteral("windowfocus"),
             QStringLiteral("mousemove"), QStringLiteral("--window"), QStringLiteral("%1"),
             QStringLiteral("20"), QStringLiteral("20")}),
        0);
    x11::X11Clipboard primary(*m_x, "PRIMARY");
    primary.declareTypes({QStringLiteral("text/plain;charset=utf-8")});
    primary.setData("selected before", QStringLiteral("text/plain;charset=utf-8"));
    startDaemon({{QStringLiteral("sig"), QStringLiteral("Regards")}}, 1, true);
    pause(500);
    type(QStringLiteral("Hi sig "));
    pause(400); // the expansion, before the rest of the line
    type(QStringLiteral("x"));
    key(QStringLiteral("Return"));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(out); }, 5000));
    pause(200);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("Hi Regards x"));
    pause(1500);
    x11::X11Clipboard reader(*m_x, "PRIMARY");
    EXPECT_EQ(reader.dataForType(QStringLiteral("text/plain;charset=utf-8")),
              QByteArray("selected before"));
    xterm.kill();
    xterm.waitForFinished(3000);
}

TEST_F(X11EndToEndTest, RestoresEveryTargetOfTheClipboardByteForByte)
{
    startWindow();
    // The user's clipboard: three targets, owned by a client of this test.
    x11::X11Clipboard clipboard(*m_x, "CLIPBOARD");
    clipboard.declareTypes({QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("image/png"),
                            QStringLiteral("x-special")});
    clipboard.setData("user text", QStringLiteral("text/plain;charset=utf-8"));
    clipboard.setData(QByteArray("\x89PNG\r\n\x1a\n\0\1", 10), QStringLiteral("image/png"));
    clipboard.setData(QByteArray(300000, 'z'),
                      QStringLiteral("x-special")); // large: sent incrementally
    startDaemon({{QStringLiteral("sig"), QStringLiteral("Regards")}}, 1, true);
    type(QStringLiteral("sig "));
    EXPECT_EQ(windowText(QStringLiteral("Regards ")), QStringLiteral("Regards "));
    pause(1500); // the restore comes 0.8 s after the paste, once the window has read it
    x11::X11Clipboard reader(*m_x, "CLIPBOARD");
    EXPECT_EQ(reader.types(),
              (QStringList{QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("image/png"),
                           QStringLiteral("x-special"), QStringLiteral("UTF8_STRING"),
                           QStringLiteral("STRING"), QStringLiteral("TEXT")}));
    EXPECT_EQ(reader.dataForType(QStringLiteral("text/plain;charset=utf-8")),
              QByteArray("user text"));
    EXPECT_EQ(reader.dataForType(QStringLiteral("image/png")),
              QByteArray("\x89PNG\r\n\x1a\n\0\1", 10));
    EXPECT_EQ(reader.dataForType(QStringLiteral("x-special")), QByteArray(300000, 'z'));
}

TEST_F(X11EndToEndTest, FollowsKeyboardLayoutsSwitchedWhileRunning)
{
    startWindow();
    startDaemon({{QStringLiteral("zu"), QStringLiteral("zusammen")},
                 {QStringLiteral("été"), QStringLiteral("summer")}},
                1);
    ASSERT_EQ(run(QStringLiteral("setxkbmap"), {QStringLiteral("de")}), 0);
    pause(300);
    type(QStringLiteral("zu "));
    EXPECT_EQ(windowText(QStringLiteral("zusammen ")), QStringLiteral("zusammen "));
    waitForStableText();
    ASSERT_EQ(run(QStringLiteral("setxkbmap"), {QStringLiteral("fr")}), 0);
    pause(300);
    type(QStringLiteral("été "));
    EXPECT_EQ(windowText(QStringLiteral("zusammen summer ")), QStringLiteral("zusammen summer "));
}

TEST_F(X11EndToEndTest, AbbreviationsTypedWithADeadKey)
{
    startWindow();
    startDaemon({{QStringLiteral("café"), QStringLiteral("coffee")}}, 1);
    ASSERT_EQ(run(QStringLiteral("setxkbmap"),
                  {QStringLiteral("us"), QStringLiteral("-variant"), QStringLiteral("intl")}),
              0);
    pause(300);
    type(QStringLiteral("caf"));
    key(QStringLiteral("dead_acute e space"));
    EXPECT_EQ(windowText(QStringLiteral("coffee ")), QStringLiteral("coffee "));
}

TEST_F(X11EndToEndTest, AShiftHeldDuringTheTriggerDoesNotLeak)
{
    startWindow();
    startDaemon({{QStringLiteral("sig"), QStringLiteral("regards")}}, 1);
    type(QStringLiteral("sig"));
    key(QStringLiteral("shift+space"));
    EXPECT_EQ(windowText(QStringLiteral("regards ")), QStringLiteral("regards "));
    waitForStableText();
    type(QStringLiteral("ok"));
    EXPECT_EQ(windowText(QStringLiteral("regards ok")),
              QStringLiteral("regards ok")); // no stuck Shift
}

} // namespace
