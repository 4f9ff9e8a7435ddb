// Saves a picture of one window of the X display as PNG:
//   veyra2-window-grab WINDOW-ID FILE.png
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: veyra2-window-grab WINDOW-ID FILE.png\n";
        return 2;
    }
    QGuiApplication application(argc, argv);
    bool parsed = false;
    const WId window = QString(argv[1]).toULongLong(&parsed, 0);
    if (!parsed) {
        std::cerr << "not a window id: " << argv[1] << '\n';
        return 2;
    }
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(window);
    if (picture.isNull() || !picture.save(argv[2], "PNG")) {
        std::cerr << "cannot save a picture of window " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
