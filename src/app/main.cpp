#include "plot/Translations.h"
#include "ui/frmKolvane.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kolvane::InstallQtTranslations();
    kolvane::frmKolvane window(QCoreApplication::applicationDirPath());
    // A second instance ends here, silently.
    if (!window.Form_Load()) return 0;
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
    return app.exec();
}
