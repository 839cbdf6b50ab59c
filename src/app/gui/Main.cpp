// SPDX-License-Identifier: MIT
#include "app/StartMode.h"
#include "app/gui/DialogProgram.h"
#include "platform/ProcessEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace qif2ldx::app::gui {
namespace {

constexpr const char* kNoDisplay =
    "qif2ldx: error: no display: the dialog needs one; for the command line, see qif2ldx "
    "--help\n";

// What Qt says while it connects to the display, held until it is known to have succeeded.
QStringList gStartMessages;

// Qt ends the process when it cannot reach the display it was given; the user is told so in
// one line instead of Qt's several, and the program ends as it does without a display.
void OnStartMessage(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message)
{
    if (type == QtFatalMsg) {
        static_cast<void>(::write(STDERR_FILENO, kNoDisplay, std::strlen(kNoDisplay)));
        std::_Exit(2);
    }
    gStartMessages << message;
}

} // namespace

int Main(int argc, char** argv)
{
    if (!DisplayAvailable(platform::ProcessEnvironment())) {
        std::fputs(kNoDisplay, stderr);
        return 2;
    }
    // The file to open, taken before Qt looks at the arguments; a relative path is made whole,
    // since the dialog remembers the folders of its files.
    const QString sFile =
        argc > 1 ? QFileInfo(QFile::decodeName(argv[1])).absoluteFilePath() : QString();
    const QtMessageHandler previous = qInstallMessageHandler(OnStartMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(previous);
    for (const QString& message : gStartMessages) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
    DialogProgram program;
    // The program ends with the dialog, even while its help window is still open.
    QObject::connect(&program.Dialog(), &QDialog::finished, &application, &QCoreApplication::quit);
    if (!sFile.isEmpty()) {
        program.Dialog().OpenQIFFile(sFile);
    }
    program.Dialog().show();
    return application.exec();
}

} // namespace qif2ldx::app::gui
