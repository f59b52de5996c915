// A plain window for the hack to draw on, as XScreenSaver or a locker would make one: maps a
// black WxH window, prints its id, and keeps it until ended; ending it destroys the window.
//   vulkara-test-window WxH

#include <X11/Xlib.h>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    unsigned int nWidth = 0;
    unsigned int nHeight = 0;
    if (argc != 2 || std::sscanf(argv[1], "%ux%u", &nWidth, &nHeight) != 2)
    {
        std::fprintf(stderr, "usage: vulkara-test-window WxH\n");
        return 2;
    }
    Display* pDisplay = XOpenDisplay(nullptr);
    if (pDisplay == nullptr)
        return 1;
    const int nScreen = DefaultScreen(pDisplay);
    const Window window = XCreateSimpleWindow(pDisplay, RootWindow(pDisplay, nScreen), 0, 0, nWidth,
                                              nHeight, 0, 0, BlackPixel(pDisplay, nScreen));
    XStoreName(pDisplay, window, "vulkara-test-window");
    XMapWindow(pDisplay, window);
    XSync(pDisplay, False);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);
    for (;;)
        pause();
}
