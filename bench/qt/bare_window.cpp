// The floor for the launch benchmark: an empty fixed-size Qt window with the program's title.
// Built a second time with WITH_TEXT, it also shows one line of text, which costs a Qt program
// the setting up of its font database: the floor for any window that shows text.
#include <QApplication>
#include <QWidget>
#ifdef WITH_TEXT
#include <QLabel>
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Ambrelith"));
    window.setFixedSize(337, 217);
#ifdef WITH_TEXT
    QLabel text(QStringLiteral("Select blood group of Mother"), &window);
#endif
    window.show();
    return QApplication::exec();
}
