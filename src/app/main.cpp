#include "app/TARVINE.h"
#include "app/StartupOptions.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    TARVINE window;
    applyStartupOptions(window, QApplication::arguments());
    window.show();
    return app.exec();
}
