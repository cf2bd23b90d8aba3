// Kalvex: starts the application, creates the main window and runs until it closes.
#include <QApplication>
#include <clocale>

#include "app/shell/Mainpeak.h"
#include "app/shell/Prompter.h"
#include "view/AppState.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Qt takes the user's locale for the C library too; numbers in files and the settings
    // are always written and read with a point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Kalvex"));
    QApplication::setApplicationDisplayName(QString());

    // One state for the whole run, owned here and handed to every window.
    kalvex::view::AppState state;
    kalvex::app::DialogPrompter prompter;
    kalvex::app::M_Form form(state, prompter);
    form.show();
    // "kalvex FILE", as the desktop starts it for a double-clicked spectrum.
    const QStringList args = QApplication::arguments();
    if (args.size() > 1 && !args.at(1).startsWith('-')) form.OpenFromCommandLine(args.at(1));
    return QApplication::exec();
}
