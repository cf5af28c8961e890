// A minimal XEmbed system tray for the end-to-end tests: owns _NET_SYSTEM_TRAY_S0, docks
// every icon that asks into its own window, and prints each docked icon's window id.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdio>

namespace {

constexpr long kRequestDock = 0;
constexpr int kIconSize = 24;

void announceManager(Display* display, Window root, Atom selection, Window tray)
{
    XClientMessageEvent message{};
    message.type = ClientMessage;
    message.window = root;
    message.message_type = XInternAtom(display, "MANAGER", False);
    message.format = 32;
    message.data.l[0] = CurrentTime;
    message.data.l[1] = long(selection);
    message.data.l[2] = long(tray);
    XSendEvent(display, root, False, StructureNotifyMask, reinterpret_cast<XEvent*>(&message));
}

} // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    // Away from the corner where the test windows open, so clicks reach the icons.
    const Window tray = XCreateSimpleWindow(display, root, 600, 700, 200, kIconSize, 0, 0,
                                            WhitePixel(display, screen));
    XStoreName(display, tray, "SnapwickTestTray");
    XMapWindow(display, tray);
    const Atom selection = XInternAtom(display, "_NET_SYSTEM_TRAY_S0", False);
    const Atom opcode = XInternAtom(display, "_NET_SYSTEM_TRAY_OPCODE", False);
    const long orientation = 0; // horizontal
    XChangeProperty(display, tray, XInternAtom(display, "_NET_SYSTEM_TRAY_ORIENTATION", False),
                    XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&orientation), 1);
    XSetSelectionOwner(display, selection, tray, CurrentTime);
    if (XGetSelectionOwner(display, selection) != tray)
        return 1;
    announceManager(display, root, selection, tray);
    std::printf("tray %lu\n", tray);
    std::fflush(stdout);

    int docked = 0;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != ClientMessage || event.xclient.message_type != opcode ||
            event.xclient.data.l[1] != kRequestDock)
            continue;
        const Window icon = Window(event.xclient.data.l[2]);
        XReparentWindow(display, icon, tray, docked * kIconSize, 0);
        XResizeWindow(display, icon, kIconSize, kIconSize);
        XMapRaised(display, icon);
        XFlush(display);
        std::printf("docked %lu\n", icon);
        std::fflush(stdout);
        ++docked;
    }
}
