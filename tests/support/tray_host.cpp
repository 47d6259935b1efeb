// A minimal X system tray for end-to-end tests under Xvfb. It owns _NET_SYSTEM_TRAY_S0, so
// QSystemTrayIcon finds a tray, and embeds every icon that asks to dock into a panel of its own at the
// bottom-left corner of screen 0: 24 x 24 pixels per icon, side by side from the left.
//
// On standard output it prints "ready <x> <y>" (the panel's corner) once it owns the selection, then
// "docked <window>" and "gone <window>" as icons come and go. SIGTERM or SIGINT end it; the server gives
// the embedded icons back to the root window when its connection closes.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/select.h>
#include <vector>

namespace {

constexpr int IconSize = 24;
constexpr int PanelSlots = 8;
constexpr long SystemTrayRequestDock = 0;
constexpr long XembedEmbeddedNotify = 0;

volatile std::sig_atomic_t stopRequested = 0;
void RequestStop(int) {
    stopRequested = 1;
}

// An icon's window may vanish before we reach it; that is the client's business, not a reason to die.
int IgnoreXError(Display*, XErrorEvent* error) {
    std::fprintf(stderr, "tray host: X error %d on request %d\n", error->error_code, error->request_code);
    return 0;
}

struct Tray {
    Display* dpy = nullptr;
    Window panel = 0;
    Atom xembed = 0;
    Atom opcode = 0;
    std::vector<Window> icons;

    void Layout() {
        for (std::size_t i = 0; i < icons.size(); ++i) {
            XMoveResizeWindow(dpy, icons[i], static_cast<int>(i) * IconSize, 0, IconSize, IconSize);
        }
    }

    void Dock(Window icon) {
        if (icon == 0 || std::find(icons.begin(), icons.end(), icon) != icons.end()) {
            return;
        }
        // The save-set hands the icon back to the root window if we go first, so its owner keeps it.
        XAddToSaveSet(dpy, icon);
        XReparentWindow(dpy, icon, panel, static_cast<int>(icons.size()) * IconSize, 0);
        XResizeWindow(dpy, icon, IconSize, IconSize);
        XMapRaised(dpy, icon);

        XEvent notify{};
        notify.xclient.type = ClientMessage;
        notify.xclient.window = icon;
        notify.xclient.message_type = xembed;
        notify.xclient.format = 32;
        notify.xclient.data.l[0] = CurrentTime;
        notify.xclient.data.l[1] = XembedEmbeddedNotify;
        notify.xclient.data.l[3] = static_cast<long>(panel);
        notify.xclient.data.l[4] = 0; // XEMBED protocol version
        XSendEvent(dpy, icon, False, NoEventMask, &notify);

        icons.push_back(icon);
        std::printf("docked 0x%lx\n", icon);
    }

    void Forget(Window icon) {
        const auto it = std::find(icons.begin(), icons.end(), icon);
        if (it == icons.end()) {
            return;
        }
        icons.erase(it);
        Layout();
        std::printf("gone 0x%lx\n", icon);
    }

    void Handle(const XEvent& event) {
        switch (event.type) {
        case ClientMessage:
            if (event.xclient.message_type == opcode && event.xclient.data.l[1] == SystemTrayRequestDock) {
                Dock(static_cast<Window>(event.xclient.data.l[2]));
            }
            break;
        case DestroyNotify:
            Forget(event.xdestroywindow.window);
            break;
        case ReparentNotify:
            if (event.xreparent.parent != panel) {
                Forget(event.xreparent.window);
            }
            break;
        default:
            break;
        }
    }
};

Atom Intern(Display* dpy, const char* name) {
    return XInternAtom(dpy, name, False);
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        std::fprintf(stderr, "tray host: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreXError);
    const int screen = 0;
    const Window root = RootWindow(dpy, screen);

    Tray tray;
    tray.dpy = dpy;
    tray.xembed = Intern(dpy, "_XEMBED");
    const Atom selection = Intern(dpy, "_NET_SYSTEM_TRAY_S0");
    tray.opcode = Intern(dpy, "_NET_SYSTEM_TRAY_OPCODE");

    // A plain panel in a colour no icon is drawn in, so a screenshot tells an empty slot from an icon.
    XColor colour{};
    XParseColor(dpy, DefaultColormap(dpy, screen), "#305070", &colour);
    XAllocColor(dpy, DefaultColormap(dpy, screen), &colour);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = colour.pixel;
    attributes.event_mask = SubstructureNotifyMask;
    const int x = 0;
    const int y = DisplayHeight(dpy, screen) - IconSize;
    tray.panel = XCreateWindow(dpy, root, x, y, IconSize * PanelSlots, IconSize, 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);

    // Icons are drawn in the panel's own visual, laid out in a row.
    long orientation = 0; // horizontal
    XChangeProperty(dpy, tray.panel, Intern(dpy, "_NET_SYSTEM_TRAY_ORIENTATION"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&orientation), 1);
    long visual = static_cast<long>(XVisualIDFromVisual(DefaultVisual(dpy, screen)));
    XChangeProperty(dpy, tray.panel, Intern(dpy, "_NET_SYSTEM_TRAY_VISUAL"), XA_VISUALID, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&visual), 1);
    XMapRaised(dpy, tray.panel);

    XSetSelectionOwner(dpy, selection, tray.panel, CurrentTime);
    if (XGetSelectionOwner(dpy, selection) != tray.panel) {
        std::fprintf(stderr, "tray host: another tray owns the selection\n");
        return 1;
    }
    XEvent manager{};
    manager.xclient.type = ClientMessage;
    manager.xclient.window = root;
    manager.xclient.message_type = Intern(dpy, "MANAGER");
    manager.xclient.format = 32;
    manager.xclient.data.l[0] = CurrentTime;
    manager.xclient.data.l[1] = static_cast<long>(selection);
    manager.xclient.data.l[2] = static_cast<long>(tray.panel);
    XSendEvent(dpy, root, False, StructureNotifyMask, &manager);
    XSync(dpy, False);
    std::printf("ready %d %d\n", x, y);

    // The stop signals are let through only while waiting, so none is lost between the check and the wait.
    sigset_t stopSignals;
    sigset_t waiting;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, &waiting);
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    const int fd = ConnectionNumber(dpy);
    while (stopRequested == 0) {
        while (XPending(dpy) > 0) {
            XEvent event;
            XNextEvent(dpy, &event);
            tray.Handle(event);
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        pselect(fd + 1, &readable, nullptr, nullptr, nullptr, &waiting);
    }
    XCloseDisplay(dpy);
    return 0;
}
