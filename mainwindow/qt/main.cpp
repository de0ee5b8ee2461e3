#include <QApplication>
#include <QMainWindow>

#include <clocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Month and weekday names follow the user's language.
    std::setlocale(LC_TIME, "");
    QMainWindow window;
    window.setWindowTitle("Wendra(win)");
    window.resize(480, 320);
    window.show();
    return QApplication::exec();
}
