#include "form1.h"
#include "startup_messages.h"
#include "window_system.h"

#include <QApplication>

int main(int /*argc*/, char* argv[]) {
    QApplication::setApplicationName(QStringLiteral("Ambrelith"));
    QApplication::setOrganizationName(QStringLiteral("Tamberlune Works"));
    QApplication::setApplicationVersion(QStringLiteral(APP_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(APP_ID));
    int argc = 1;    // the command line is ignored: Qt sees only the program's name
    ExpectDisplay(); // first: the look at the Wayland compositor may have libwayland say something
    ChooseWindowSystem();
    // Qt reads whether a screen reader is on only when the accessibility bus appears, so a screen
    // reader turned on later would never hear the program. Joining the accessibility bus whenever
    // it is there, as GTK programs do, lets Qt's own bridge answer a screen reader started at any
    // time. A value the user set is left as it is.
    if (!qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    QApplication app(argc, argv);
    DisplayFound();
    // The classic style draws each button face in its own palette colour, RESTART's green too.
    QApplication::setStyle(QStringLiteral("Windows"));
    Form1 form;
    form.show();
    return QApplication::exec();
}
