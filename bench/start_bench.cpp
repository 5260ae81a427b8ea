// Starts a program on an X display, waits until it maps its first top-level window, asks that
// window to close (WM_DELETE_WINDOW, as a window manager's close button does) and waits for
// the program to end. Prints one line:
//   shown_ms out_ms peak_rss_kib
// Usage: zeltra-start-bench PROGRAM [ARGS...]   (DISPLAY names the display; no window
// manager, so top-level windows are the root's own children)
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

long windowPid(Display* d, Window w)
{
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after,
                           &data) == Success &&
        data && n == 1 && format == 32)
        pid = long(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

void askToClose(Display* d, Window w)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
}

// Waits for a MapNotify of a top-level window of `pid`; 0 on time-out or when pid ended.
Window waitForWindow(Display* d, pid_t pid, Clock::time_point t0, double timeoutMs)
{
    const int fd = ConnectionNumber(d);
    while (msSince(t0) < timeoutMs) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MapNotify && !e.xmap.override_redirect &&
                windowPid(d, e.xmap.window) == pid)
                return e.xmap.window;
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return 0;
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 5);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: zeltra-start-bench PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "zeltra-start-bench: no X display (set DISPLAY)\n");
        return 2;
    }
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);

    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(ConnectionNumber(d));
        execv(argv[1], argv + 1);
        std::perror("exec");
        _exit(127);
    }
    const Window w = waitForWindow(d, pid, t0, 30000);
    const double shownMs = msSince(t0);
    if (!w) {
        std::fprintf(stderr, "zeltra-start-bench: %s showed no window\n", argv[1]);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return 1;
    }
    askToClose(d, w);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double outMs = msSince(t0);
    XCloseDisplay(d);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "zeltra-start-bench: %s did not end cleanly\n", argv[1]);
        return 1;
    }
    std::printf("%.1f %.1f %ld\n", shownMs, outMs, usage.ru_maxrss);
    return 0;
}
