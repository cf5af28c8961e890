// Expansion on a real X server: the time from the trigger key to the replacement in the
// window, beside the floor of the same window taking as many keystrokes from xdotool;
// what happens to keys typed right after the trigger; many expansions with the user's
// clipboard restored each time.
#include "X11Session.h"
#include "model/SettingsDocument.h"
#include "model/SnippetRecord.h"
#include "plist/Array.h"
#include "plist/XmlFormat.h"
#include "x11/X11Clipboard.h"
#include "x11/X11Connection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <benchmark/benchmark.h>

using namespace testsupport;

namespace {

// One X server, one window and one engine for every benchmark of the run.
class Session
{
public:
    static Session& instance()
    {
        static Session s;
        return s;
    }

    bool ready() const { return m_ready; }

    QString text() const
    {
        QFile f(m_report);
        return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll())
                                                 .object()
                                                 .value(QStringLiteral("text"))
                                                 .toString()
                                           : QString();
    }

    void clear()
    {
        run(QStringLiteral("xdotool"),
            {QStringLiteral("key"), QStringLiteral("ctrl+a"), QStringLiteral("BackSpace")});
        waitUntil([&] { return text().isEmpty(); }, 2000);
    }

    // A key pressed and released through XTEST from this process, for exact timing.
    void press(KeySym keysym)
    {
        const KeyCode code = XKeysymToKeycode(m_x->display(), keysym);
        XTestFakeKeyEvent(m_x->display(), code, True, CurrentTime);
        XTestFakeKeyEvent(m_x->display(), code, False, CurrentTime);
        XFlush(m_x->display());
    }

    void typeWord(const char* word)
    {
        for (const char* p = word; *p; ++p)
            press(XStringToKeysym(QByteArray(1, *p).constData()));
    }

    snapwick::x11::X11Connection& connection() { return *m_x; }
    qint64 daemonPid() const { return m_daemon.processId(); }

private:
    Session()
    {
        if (!m_server.start() || !m_dir.isValid())
            return;
        m_x = snapwick::x11::X11Connection::open();
        auto doc = std::make_shared<plist::Dictionary>();
        doc->setInteger(1, QStringLiteral("Expander Mode"));
        doc->setBool(true, QStringLiteral("Restore Pasteboard"));
        plist::Value snippets = plist::Value::newArray();
        plist::Value record = plist::Value::newDictionary();
        JVSXSharedExtensions::setSnippetAbbreviation(*record.dictionary(), QStringLiteral("sig"));
        JVSXSharedExtensions::setPlainSnippetReplacement(*record.dictionary(),
                                                         QStringLiteral("Regards"));
        snippets.array()->append(record);
        doc->set(QStringLiteral("Snippets"), snippets);
        m_report = m_dir.filePath(QStringLiteral("report.json"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_window.setProcessEnvironment(env);
        m_window.start(QStringLiteral(SNAPWICK_TEXT_WINDOW), {m_report});
        waitUntil([&] { return QFile::exists(m_report); }, 10000);
        run(QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--name"),
             QStringLiteral("SnapwickTestWindow"), QStringLiteral("windowfocus")});
        m_ready = startDaemon(m_daemon, m_dir.path(), doc);
    }
    ~Session()
    {
        m_daemon.kill();
        m_window.kill();
        m_daemon.waitForFinished();
        m_window.waitForFinished();
    }

    XServer m_server;
    QTemporaryDir m_dir;
    std::unique_ptr<snapwick::x11::X11Connection> m_x;
    QProcess m_window, m_daemon;
    QString m_report;
    bool m_ready = false;
};

double seconds(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

// The shared session, or null with the benchmark marked as skipped.
Session* sessionFor(benchmark::State& state)
{
    Session& s = Session::instance();
    if (s.ready())
        return &s;
    state.SkipWithError("no X session");
    return nullptr;
}

// An empty window holding the typed abbreviation, just before its trigger.
void typeAbbreviation(Session& s)
{
    s.clear();
    s.typeWord("sig");
    waitUntil([&] { return s.text() == u"sig"; }, 2000);
}

void BM_TriggerToReplacementInWindow(benchmark::State& state)
{
    Session* session = sessionFor(state);
    if (!session)
        return;
    Session& s = *session;
    for (auto _ : state) {
        typeAbbreviation(s);
        QElapsedTimer t;
        t.start();
        s.press(XK_space);
        const bool done = waitUntil([&] { return s.text() == u"Regards "; }, 3000);
        state.SetIterationTime(seconds(t));
        if (!done)
            state.SkipWithError("the replacement did not arrive");
        pause(900); // let the clipboard restore before the next round
    }
}

// The floor: the same window receiving as many keystrokes (six) from xdotool.
void BM_FloorSixKeystrokesFromXdotool(benchmark::State& state)
{
    Session* session = sessionFor(state);
    if (!session)
        return;
    Session& s = *session;
    for (auto _ : state) {
        s.clear();
        QElapsedTimer t;
        t.start();
        run(QStringLiteral("xdotool"),
            {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("0"),
             QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
             QStringLiteral("e"), QStringLiteral("f")});
        waitUntil([&] { return s.text() == u"abcdef"; }, 3000);
        state.SetIterationTime(seconds(t));
    }
}

// Keys the user types 0, 5 or 20 ms after the trigger: does the text come out right?
void BM_KeysRightAfterTheTrigger(benchmark::State& state)
{
    Session* session = sessionFor(state);
    if (!session)
        return;
    Session& s = *session;
    int right = 0, rounds = 0;
    for (auto _ : state) {
        typeAbbreviation(s);
        s.press(XK_space);
        pause(int(state.range(0)));
        s.typeWord("ok");
        waitUntil([&] { return s.text() == u"Regards ok"; }, 2000);
        right += s.text() == u"Regards ok";
        ++rounds;
        pause(900);
    }
    state.counters["right"] = double(right) / std::max(1, rounds);
}

// Many expansions, each restoring the user's clipboard: it must come back byte for byte,
// and the engine's memory must stay flat.
void BM_RestoredExpansionsInARow(benchmark::State& state)
{
    Session* session = sessionFor(state);
    if (!session)
        return;
    Session& s = *session;
    snapwick::x11::X11Clipboard user(s.connection(), "CLIPBOARD");
    user.declareTypes({QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("image/png"),
                       QStringLiteral("x-app")});
    user.setData("user text", QStringLiteral("text/plain;charset=utf-8"));
    user.setData(QByteArray("\x89PNG\r\n\x1a\n", 8), QStringLiteral("image/png"));
    user.setData(QByteArray(1000, '\7'), QStringLiteral("x-app"));
    const auto rss = [&] {
        QFile status(QStringLiteral("/proc/%1/status").arg(s.daemonPid()));
        status.open(QIODevice::ReadOnly);
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').front().toDouble();
        }
        return 0.0;
    };
    const int count = int(state.range(0));
    double before = 0, after = 0;
    int intact = 0;
    for (auto _ : state) {
        s.clear();
        before = rss();
        for (int i = 0; i < count; ++i) {
            s.typeWord("sig");
            s.press(XK_space);
            waitUntil([&] { return s.text().endsWith(u"Regards "); }, 2000);
            if (i % 20 == 19)
                s.clear();
        }
        pause(1500);
        after = rss();
        snapwick::x11::X11Clipboard reader(s.connection(), "CLIPBOARD");
        intact = reader.types().mid(0, 3) == QStringList{QStringLiteral("text/plain;charset=utf-8"),
                                                         QStringLiteral("image/png"),
                                                         QStringLiteral("x-app")} &&
                 reader.dataForType(QStringLiteral("text/plain;charset=utf-8")) ==
                     QByteArray("user text") &&
                 reader.dataForType(QStringLiteral("x-app")) == QByteArray(1000, '\7');
    }
    state.counters["clipboard_intact"] = intact;
    state.counters["rss_kb_before"] = before;
    state.counters["rss_kb_after"] = after;
}

void minimum(benchmark::internal::Benchmark* b)
{
    b->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
    b->ComputeStatistics(
        "max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}

} // namespace

BENCHMARK(BM_TriggerToReplacementInWindow)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(50)
    ->Unit(benchmark::kMillisecond)
    ->Apply(minimum)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FloorSixKeystrokesFromXdotool)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(50)
    ->Unit(benchmark::kMillisecond)
    ->Apply(minimum)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_KeysRightAfterTheTrigger)
    ->Arg(0)
    ->Arg(5)
    ->Arg(20)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestoredExpansionsInARow)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);
