#pragma once

#include <QTextBrowser>

namespace kolvane {

// The program's help window: the HTML help file shown beside the main window, never modal.
class HelpWindow : public QTextBrowser {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* owner);

    // Loads the help file afresh and shows it from its table of contents (at the top of the file).
    // A file that cannot be read is said in the window itself.
    void ShowContents(const QString& path);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool fitted_ = false;
};

} // namespace kolvane
