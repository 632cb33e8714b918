// tallovar-admin notice TITLE TEXT: a warning on the desktop, for the
// launcher (a failed daily backup). Qt draws the Chinese text whatever the
// desktop offers, and the window stays above the program's windows that open
// after it, so the login window does not cover it. Returns when the user
// closes it.

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QShortcut>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/admin_command.h"
#include "tools/tool_window.h"

int RunNotice(const CommandLine& line) {
    const std::vector<std::string>& arguments = line.Operands();
    if (arguments.size() != 2) return kExitUsage;
    // A warning nobody sees would wait for ever (offscreen, say); the
    // launcher then tries the desktop's notifiers.
    if (!HasDesktop()) {
        std::fprintf(stderr, "没有图形桌面 / no graphical desktop\n");
        return kExitFailed;
    }
    return RunInToolWindow([&] {
        QMessageBox box(QMessageBox::Warning, QString::fromStdString(arguments[0]),
                        QString::fromStdString(arguments[1]), QMessageBox::Ok);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        // Ctrl+C copies the warning, for a report to whoever looks after the
        // ledger.
        QShortcut copy(QKeySequence::Copy, &box);
        QObject::connect(&copy, &QShortcut::activated, [&box] {
            QGuiApplication::clipboard()->setText(box.windowTitle() + '\n' + box.text());
        });
        box.exec();
        return kExitOk;
    });
}
