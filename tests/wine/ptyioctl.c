/* Preloaded into wine for the tests: a pseudo-terminal refuses the
 * modem-line ioctls (TIOCMGET, TIOCMSET, TIOCMBIS, TIOCMBIC) that wine's
 * serial driver issues when a COM port is opened and configured, and then
 * fails the Win32 calls behind them. On a terminal this answers them as a
 * serial line with every modem line up would; anything else is passed on. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdarg.h>
#include <sys/ioctl.h>
#include <unistd.h>

int ioctl(int fd, unsigned long request, ...)
{
    static int (*real_ioctl)(int, unsigned long, ...);
    va_list args;
    void *arg;
    int result;

    va_start(args, request);
    arg = va_arg(args, void *);
    va_end(args);
    if (!real_ioctl)
        real_ioctl = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
    result = real_ioctl(fd, request, arg);
    if (result == 0 || !isatty(fd))
        return result;
    switch (request) {
    case TIOCMGET:
        *(int *)arg = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CD;
        return 0;
    case TIOCMSET:
    case TIOCMBIS:
    case TIOCMBIC:
        return 0;
    default:
        return result;
    }
}
