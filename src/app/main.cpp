#include "ui/frmKolvane.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kolvane::frmKolvane window(QCoreApplication::applicationDirPath());
    // A second instance ends here, silently.
    if (!window.Form_Load()) return 0;
    window.show();
    return app.exec();
}
