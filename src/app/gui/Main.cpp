// SPDX-License-Identifier: MIT
#include "app/gui/DialogProgram.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace qif2ldx::app::gui {
namespace {

constexpr const char* kNoDisplay =
    "qif2ldx: no display: the dialog needs one; for the command line, see qif2ldx --help\n";

bool IsSet(const char* sName)
{
    const char* value = std::getenv(sName);
    return value != nullptr && *value != '\0';
}

// Whether the window system Qt is going to use needs a display that is not there. Qt picks X11
// or Wayland unless QT_QPA_PLATFORM names another platform (offscreen, vnc and the like).
bool DisplayIsMissing()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool needsDisplay = platform == nullptr || *platform == '\0' ||
                              std::strncmp(platform, "xcb", 3) == 0 ||
                              std::strncmp(platform, "wayland", 7) == 0;
    return needsDisplay && !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY");
}

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
    if (DisplayIsMissing()) {
        std::fputs(kNoDisplay, stderr);
        return 2;
    }
    const QtMessageHandler previous = qInstallMessageHandler(OnStartMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(previous);
    for (const QString& message : gStartMessages) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
    DialogProgram program;
    // The program ends with the dialog, even while its help window is still open.
    QObject::connect(&program.Dialog(), &QDialog::finished, &application, &QCoreApplication::quit);
    program.Dialog().show();
    return application.exec();
}

} // namespace qif2ldx::app::gui
