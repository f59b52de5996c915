/* Counts the frames that reach the screen of an X display: it listens for Damage events on
 * the root window for a given time and groups them into bursts, one burst per frame. A frame
 * may reach the server as several requests (bands of an image, a clear and a copy), so events
 * closer together than the gap belong to one frame. The gap is well under the 25 ms between
 * frames at 40 a second, and long enough that a server kept from the processor for a moment
 * on a loaded machine between the requests of one frame does not make two of it.
 *
 *   damage-frames SECONDS [GAP_MS]
 *
 * prints "frames N events M seconds S" on standard output.
 *
 * Events are timed by the server's timestamp (milliseconds, taken when the server drew), not
 * by when they are read here: on a loaded machine this process may wake late and read the
 * events of two frames together. */
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <errno.h>
#include <poll.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static const unsigned long kDefaultGapMs = 10;

static double NowMs(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1.0e6;
}

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: damage-frames SECONDS [GAP_MS]\n");
        return 2;
    }
    char *end;
    const double seconds = strtod(argv[1], &end);
    if (*end != '\0' || seconds <= 0) {
        fprintf(stderr, "damage-frames: bad duration '%s'\n", argv[1]);
        return 2;
    }
    unsigned long gapMs = kDefaultGapMs;
    if (argc == 3) {
        gapMs = strtoul(argv[2], &end, 10);
        if (*end != '\0' || gapMs == 0) {
            fprintf(stderr, "damage-frames: bad gap '%s'\n", argv[2]);
            return 2;
        }
    }

    Display *display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "damage-frames: cannot open display\n");
        return 1;
    }
    int eventBase, errorBase;
    if (!XDamageQueryExtension(display, &eventBase, &errorBase)) {
        fprintf(stderr, "damage-frames: the X server has no Damage extension\n");
        return 1;
    }
    /* Raw rectangles: one event per drawing request, with no DamageSubtract round trips that
     * would make the counter itself part of the load. */
    Damage damage =
        XDamageCreate(display, DefaultRootWindow(display), XDamageReportRawRectangles);
    XSync(display, False);
    /* Creating the damage object reports the whole window once; that is no frame. */
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
    }

    const int fd = ConnectionNumber(display);
    const double start = NowMs();
    const double stop = start + seconds * 1000.0;
    Time last = 0;
    long frames = 0, events = 0;
    for (;;) {
        double now = NowMs();
        if (now >= stop)
            break;
        if (XPending(display) == 0) {
            struct pollfd pfd = {fd, POLLIN, 0};
            int timeout = (int)(stop - now) + 1;
            if (poll(&pfd, 1, timeout) < 0 && errno != EINTR) {
                perror("damage-frames: poll");
                return 1;
            }
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != eventBase + XDamageNotify)
            continue;
        const Time at = ((XDamageNotifyEvent *)&event)->timestamp;
        /* Unsigned subtraction: the server's clock wraps after 49 days. */
        if (events == 0 || (uint32_t)(at - last) >= gapMs)
            ++frames;
        ++events;
        last = at;
    }
    XDamageDestroy(display, damage);
    XCloseDisplay(display);
    printf("frames %ld events %ld seconds %.3f\n", frames, events, seconds);
    return 0;
}
