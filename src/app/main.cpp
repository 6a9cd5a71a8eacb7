#include "ui/Form1.h"
#include "ui/frmKolvane.h"

#include <QApplication>
#include <QTimer>
#include <cstring>

namespace {

// Hidden options for scripts/screenshots.sh: render a window to a PNG file and end.
struct Screenshots {
    QString mainWindow;
    QString folderDialog;
};

Screenshots ReadScreenshotOptions(int argc, char** argv) {
    Screenshots shots;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0)
            shots.mainWindow = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--screenshot-folder-dialog") == 0)
            shots.folderDialog = QString::fromLocal8Bit(argv[++i]);
    }
    return shots;
}

bool SaveGrab(QWidget* widget, const QString& path) {
    return path.isEmpty() || widget->grab().save(path);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const Screenshots shots = ReadScreenshotOptions(argc, argv);

    kolvane::frmKolvane window(QCoreApplication::applicationDirPath());
    window.Form_Load();
    window.show();

    if (shots.mainWindow.isEmpty() && shots.folderDialog.isEmpty()) return app.exec();

    kolvane::Form1 dialog(&window);
    dialog.setPrompt(QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。"));
    dialog.setPath(QString::fromStdString(window.monthlyFolder()));
    int status = 0;
    QTimer::singleShot(500, &window, [&] {
        if (!SaveGrab(&window, shots.mainWindow)) status = 1;
        if (!shots.folderDialog.isEmpty()) dialog.show();
        QTimer::singleShot(500, &window, [&] {
            if (!SaveGrab(&dialog, shots.folderDialog)) status = 1;
            app.quit();
        });
    });
    app.exec();
    return status;
}
