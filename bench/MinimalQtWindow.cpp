// The yardstick of the desktop start benchmark: the smallest Qt Widgets program
// with one window of the launcher's size and title bar text, built like the launcher.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Minimal Qt Window");
    window.setCentralWidget(new QLabel("A minimal Qt Widgets window."));
    window.resize(760, 650);
    window.show();
    return QApplication::exec();
}
