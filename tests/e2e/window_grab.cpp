// Writes what an X window shows to a PNG file, as the screen has it (title bar
// and all when a window manager frames it): the whole-program tests' camera.
// Usage: wendra_window_grab WINDOW-ID OUTPUT.png   (id in decimal or 0x hex; 0 is
// the whole screen)
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WINDOW-ID OUTPUT.png\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    bool ok = false;
    const WId id = QString::fromLocal8Bit(argv[1]).toULongLong(&ok, 0);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!ok || screen == nullptr) return 2;
    const QPixmap picture = screen->grabWindow(id);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) return 1;
    return 0;
}
