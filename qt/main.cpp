#include "form1.h"
#include "screen_reader_link.h"
#include "session.h"

#include <QApplication>

int main(int /*argc*/, char* argv[]) {
    QApplication::setApplicationName(QStringLiteral("Ambrelith"));
    QApplication::setOrganizationName(QStringLiteral("Tamberlune Works"));
    QApplication::setApplicationVersion(QStringLiteral(APP_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(APP_ID));
    int argc = 1; // the command line is ignored: Qt sees only the program's name
    ChooseWindowSystem();
    ExpectDisplay();
    QApplication app(argc, argv);
    DisplayFound();
    // The classic style draws each button face in its own palette colour, RESTART's green too.
    QApplication::setStyle(QStringLiteral("Windows"));
    Form1 form;
    form.show();
    const ScreenReaderLink screenReader;
    return QApplication::exec();
}
