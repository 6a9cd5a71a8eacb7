#include "app/SingleInstance.h"
#include "ui/frmKolvane.h"

#include <QApplication>
#include <csignal>

int main(int argc, char** argv) {
    // A file-size limit must end in a clear message, not a killed process.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    const kolvane::SingleInstance instance;
    // A second instance ends here, silently, before anything is read.
    if (!instance.mayStart()) return 0;
    kolvane::frmKolvane window(QCoreApplication::applicationDirPath());
    window.Form_Load();
    window.show();
    return app.exec();
}
