#include "X11Clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstring>

namespace snapwick::x11 {

namespace {

const char* const kMetaTargets[] = {"TARGETS",         "MULTIPLE",     "TIMESTAMP",
                                    "SAVE_TARGETS",    "DELETE",       "INSERT_SELECTION",
                                    "INSERT_PROPERTY", "_QT_SELECTION"};
constexpr char kPlainText[] = "text/plain;charset=utf-8";
// Above this, data goes incrementally (ICCCM INCR); the request size limit is larger.
constexpr qsizetype kChunk = 64 * 1024;

bool isMeta(const QByteArray& name)
{
    return std::any_of(std::begin(kMetaTargets), std::end(kMetaTargets),
                       [&](const char* m) { return name == m; });
}

} // namespace

struct X11Clipboard::Transfer
{
    Window requestor;
    Atom property;
    Atom type;
    int format;
    QByteArray data;
    qsizetype sent = 0;
};

X11Clipboard::X11Clipboard(X11Connection& connection, const char* selection)
    : m_x(connection), m_selection(connection.atom(selection))
{
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    m_window = XCreateWindow(m_x.display(), m_x.root(), -10, -10, 1, 1, 0, CopyFromParent,
                             InputOnly, CopyFromParent, CWEventMask, &attributes);
    m_x.addHandler([this](XEvent& e) { handle(e); });
}

X11Clipboard::~X11Clipboard()
{
    XDestroyWindow(m_x.display(), m_window);
}

bool X11Clipboard::ownsSelection() const
{
    return m_owner && XGetSelectionOwner(m_x.display(), m_selection) == m_window;
}

unsigned long X11Clipboard::serverTime()
{
    // The server's clock, from the time stamp of a property change of our own.
    const Atom probe = m_x.atom("_SNAPWICK_TIME");
    XChangeProperty(m_x.display(), m_window, probe, XA_STRING, 8, PropModeAppend, nullptr, 0);
    unsigned long time = CurrentTime;
    m_x.waitFor(
        [&](XEvent& e) {
            if (e.type == PropertyNotify && e.xproperty.window == m_window &&
                e.xproperty.atom == probe) {
                time = e.xproperty.time;
                return true;
            }
            return false;
        },
        kReadTimeoutMs);
    return time;
}

std::optional<QByteArray> X11Clipboard::readProperty(Atom property, Atom* type, int* format,
                                                     bool deleteAfter)
{
    QByteArray out;
    long offset = 0;
    while (true) {
        Atom actualType = None;
        int actualFormat = 0;
        unsigned long items = 0, remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(m_x.display(), m_window, property, offset, kChunk / 4, False,
                               AnyPropertyType, &actualType, &actualFormat, &items, &remaining,
                               &data) != Success)
            return std::nullopt;
        const int unit = actualFormat == 32 ? int(sizeof(long)) : actualFormat / 8;
        if (data) {
            out.append(reinterpret_cast<const char*>(data), qsizetype(items) * unit);
            XFree(data);
        }
        *type = actualType;
        *format = actualFormat;
        if (actualType == None)
            return std::nullopt;
        offset += long(items * unsigned(actualFormat) / 32);
        if (remaining == 0)
            break;
    }
    if (deleteAfter)
        XDeleteProperty(m_x.display(), m_window, property);
    return out;
}

// The chunks of an incremental transfer; type and format are those of the chunks, not of
// the INCR marker.
std::optional<QByteArray> X11Clipboard::readIncrementally(Atom* type, int* format)
{
    const Atom property = m_x.atom("_SNAPWICK_SELECTION");
    QByteArray out;
    bool first = true;
    while (true) {
        const bool arrived = m_x.waitFor(
            [&](XEvent& e) {
                return e.type == PropertyNotify && e.xproperty.window == m_window &&
                       e.xproperty.atom == property && e.xproperty.state == PropertyNewValue;
            },
            kReadTimeoutMs);
        if (!arrived)
            return std::nullopt;
        Atom chunkType;
        int chunkFormat;
        const auto chunk = readProperty(property, &chunkType, &chunkFormat, true);
        if (!chunk)
            return std::nullopt;
        if (first) {
            *type = chunkType;
            *format = chunkFormat;
            first = false;
        }
        if (chunk->isEmpty())
            return out;
        out += *chunk;
    }
}

std::optional<QByteArray> X11Clipboard::convert(Atom target, Atom* type, int* format)
{
    const Atom property = m_x.atom("_SNAPWICK_SELECTION");
    XDeleteProperty(m_x.display(), m_window, property);
    XConvertSelection(m_x.display(), m_selection, target, property, m_window, CurrentTime);
    bool refused = false;
    const bool answered = m_x.waitFor(
        [&](XEvent& e) {
            if (e.type != SelectionNotify || e.xselection.requestor != m_window ||
                e.xselection.selection != m_selection)
                return false;
            refused = e.xselection.property == None;
            return true;
        },
        kReadTimeoutMs);
    if (!answered || refused)
        return std::nullopt; // a dead or slow owner: this target has no data
    auto data = readProperty(property, type, format, true);
    if (data && *type == m_x.atom("INCR"))
        return readIncrementally(type, format);
    return data;
}

const X11Clipboard::Item* X11Clipboard::itemFor(const QString& type) const
{
    for (const Item& item : m_items) {
        if (item.type == type)
            return &item;
    }
    return nullptr;
}

QStringList X11Clipboard::types()
{
    if (ownsSelection()) {
        QStringList t;
        for (const Item& item : m_items)
            t << item.type;
        return t;
    }
    if (XGetSelectionOwner(m_x.display(), m_selection) == None)
        return {}; // an empty clipboard: no types
    Atom type;
    int format;
    const auto targets = convert(m_x.atom("TARGETS"), &type, &format);
    if (!targets || format != 32)
        return {};
    QStringList names;
    const auto* atoms = reinterpret_cast<const long*>(targets->constData());
    for (qsizetype i = 0; i < targets->size() / qsizetype(sizeof(long)); ++i) {
        const QByteArray name = m_x.atomName(Atom(atoms[i]));
        if (!name.isEmpty() && !isMeta(name) && !names.contains(QString::fromLatin1(name)))
            names << QString::fromLatin1(name);
    }
    return names;
}

std::optional<QByteArray> X11Clipboard::dataForType(const QString& type)
{
    if (ownsSelection()) {
        const Item* item = itemFor(type);
        return item ? item->data : std::nullopt;
    }
    if (XGetSelectionOwner(m_x.display(), m_selection) == None)
        return std::nullopt;
    Atom propertyType;
    int format;
    const auto data = convert(m_x.atom(type.toLatin1().constData()), &propertyType, &format);
    if (data)
        m_formats.insert(type, {propertyType, format}); // written back as it came
    return data;
}

void X11Clipboard::declareTypes(const QStringList& types)
{
    m_items.clear();
    for (const QString& t : types)
        m_items.push_back({t, std::nullopt});
    m_read = false;
    if (types.isEmpty()) {
        if (ownsSelection())
            XSetSelectionOwner(m_x.display(), m_selection, None, CurrentTime);
        m_owner = false;
        XFlush(m_x.display());
        return;
    }
    m_ownedSince = serverTime();
    XSetSelectionOwner(m_x.display(), m_selection, m_window, m_ownedSince);
    m_owner = XGetSelectionOwner(m_x.display(), m_selection) == m_window; // confirmed, not assumed
}

bool X11Clipboard::setData(const QByteArray& data, const QString& type)
{
    for (Item& item : m_items) {
        if (item.type == type) {
            item.data = data;
            return m_owner;
        }
    }
    return false;
}

void X11Clipboard::handle(XEvent& event)
{
    if (event.type == SelectionRequest && event.xselectionrequest.owner == m_window &&
        event.xselectionrequest.selection == m_selection)
        serve(event);
    else if (event.type == SelectionClear && event.xselectionclear.window == m_window &&
             event.xselectionclear.selection == m_selection)
        m_owner = false; // another program copied: its content is the clipboard now
    else if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete)
        continueTransfer(event);
}

// Writes the answer for one target to the requestor's property; false when we have none.
bool X11Clipboard::answer(Window requestor, Atom target, Atom property)
{
    Display* d = m_x.display();
    const QByteArray name = m_x.atomName(target);
    if (name == "TARGETS") {
        std::vector<long> atoms{long(m_x.atom("TARGETS")), long(m_x.atom("TIMESTAMP"))};
        for (const Item& item : m_items)
            atoms.push_back(long(m_x.atom(item.type.toLatin1().constData())));
        if (itemFor(QString::fromLatin1(kPlainText))) {
            for (const char* alias : {"UTF8_STRING", "STRING", "TEXT"})
                atoms.push_back(long(m_x.atom(alias)));
        }
        XChangeProperty(d, requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(atoms.data()), int(atoms.size()));
        return true;
    }
    if (name == "TIMESTAMP") {
        const long time = long(m_ownedSince);
        XChangeProperty(d, requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&time), 1);
        return true;
    }
    QString type = QString::fromLatin1(name);
    Atom propertyType = target;
    int format = 8;
    bool latin1 = false;
    if (name == "UTF8_STRING" || name == "TEXT" || name == "STRING") {
        latin1 = name == "STRING";
        type = QString::fromLatin1(kPlainText);
        propertyType = latin1 ? XA_STRING : m_x.atom("UTF8_STRING");
    } else if (auto f = m_formats.constFind(type); f != m_formats.constEnd()) {
        propertyType = f->first;
        format = f->second;
    }
    const Item* item = itemFor(type);
    if (!item || !item->data)
        return false;
    const QByteArray data = latin1 ? QString::fromUtf8(*item->data).toLatin1() : *item->data;
    m_read = true;
    if (data.size() > kChunk && format == 8) {
        auto t = std::make_unique<Transfer>(
            Transfer{requestor, property, propertyType, format, data, 0});
        XSelectInput(d, requestor, PropertyChangeMask);
        const long size = long(data.size());
        XChangeProperty(d, requestor, property, m_x.atom("INCR"), 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&size), 1);
        m_transfers.push_back(std::move(t));
        return true;
    }
    const int unit = format == 32 ? int(sizeof(long)) : format / 8;
    XChangeProperty(d, requestor, property, propertyType, format, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.constData()),
                    int(data.size() / unit));
    return true;
}

void X11Clipboard::serve(XEvent& event)
{
    const XSelectionRequestEvent& r = event.xselectionrequest;
    const Atom property =
        r.property == None ? r.target : r.property; // obsolete clients name no property
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = r.display;
    reply.requestor = r.requestor;
    reply.selection = r.selection;
    reply.target = r.target;
    reply.time = r.time;
    reply.property = answer(r.requestor, r.target, property) ? property : None;
    XSendEvent(m_x.display(), r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(m_x.display());
}

void X11Clipboard::continueTransfer(XEvent& event)
{
    for (auto it = m_transfers.begin(); it != m_transfers.end(); ++it) {
        Transfer& t = **it;
        if (t.requestor != event.xproperty.window || t.property != event.xproperty.atom)
            continue;
        const qsizetype n = std::min(kChunk, t.data.size() - t.sent);
        XChangeProperty(m_x.display(), t.requestor, t.property, t.type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(t.data.constData() + t.sent),
                        int(n));
        t.sent += n;
        if (n == 0) { // the empty chunk ends the transfer
            XSelectInput(m_x.display(), t.requestor, NoEventMask);
            m_transfers.erase(it);
        }
        XFlush(m_x.display());
        return;
    }
}

bool X11Clipboard::waitUntilRead(int timeoutMs)
{
    if (m_read || !m_owner)
        return m_read;
    m_x.waitFor([this](XEvent&) { return m_read; }, timeoutMs); // requests are served as they come
    return m_read;
}

X11PasteboardServer::X11PasteboardServer(X11Connection& connection)
    : m_clipboard(connection, "CLIPBOARD"), m_primary(connection, "PRIMARY")
{}

} // namespace snapwick::x11
