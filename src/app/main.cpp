#include "app/ScriptedRun.h"
#include "app/SingleInstance.h"
#include "plot/Translations.h"
#include "ui/frmKolvane.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <memory>

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // A file-size limit must end in a clear message, not a killed process.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    const QString runInto = kolvane::ScriptedRun::OutputFolderArgument(QCoreApplication::arguments());
    const kolvane::SingleInstance instance;
    // A second instance ends here, before anything is read: the running one comes to the front. A run
    // asked of it by a script did not happen.
    if (!instance.mayStart()) return runInto.isEmpty() ? 0 : 1;
    kolvane::InstallQtTranslations();
    auto scripted = runInto.isEmpty() ? nullptr : std::make_unique<kolvane::ScriptedRun>(runInto);
    kolvane::ScriptedRun* const run = scripted.get();
    // Paths go to the core as the system writes them, so that every message shows "\" on Windows.
    kolvane::frmKolvane window(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
                               std::move(scripted));
    QObject::connect(&instance, &kolvane::SingleInstance::raiseRequested, &window, [&window] {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.show();
        window.raise();
        window.activateWindow();
    });
    window.Form_Load();
    window.show();
    // For scripts that check an installed program without a user: once the window is up, press 終了,
    // the only way out that saves the settings, exactly as a user would.
    if (QCoreApplication::arguments().contains(QStringLiteral("--quit-after-start")))
        QTimer::singleShot(0, &window, [&window] {
            if (auto* exit = window.findChild<QPushButton*>(QStringLiteral("cmdExit")))
                exit->click();
            else
                QCoreApplication::exit(1);
        });
    if (run) QTimer::singleShot(0, &window, [run, &window] { run->Start(window); });
    const int status = app.exec();
    return run && !run->succeeded() ? 1 : status;
}
