/* Run under wine for the tests: keeps a desktop up for the whole run, as a
 * Windows PC's desktop always is. Without one, every program that makes a
 * window (tarvine-cli makes a hidden one for its event loop) starts wine's
 * desktop process anew and waits for it, some 30 to 40 ms a command here,
 * and that process ends a second after the last program. Prints "up" once
 * the desktop is there; ends with the wine server. */
#include <stdio.h>
#include <windows.h>

int main(void)
{
    GetDesktopWindow();
    puts("up");
    fflush(stdout);
    Sleep(INFINITE);
    return 0;
}
