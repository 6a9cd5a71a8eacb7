#include "ui/Form1.h"

#include "plot/Fonts.h"
#include "ui/FolderList.h"
#include "ui/Layout.h"
#include "ui/Texts.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStorageInfo>
#include <QTextLayout>

namespace kolvane {
namespace {

// The prompt has room for two lines only at the tight line spacing of a 9 point Gothic font; Japanese
// fonts with a taller line height would lose the second line, so lines are set at 1.1 em.
class PromptLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        const qreal em = QFontInfo(font()).pixelSize();
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        QTextLayout layout(text(), font(), this);
        layout.setTextOption(option);
        layout.beginLayout();
        const qreal ascent = QFontMetricsF(font()).ascent();
        for (qreal baseline = 0.9 * em;; baseline += 1.1 * em) {
            QTextLine line = layout.createLine();
            if (!line.isValid()) break;
            line.setLineWidth(area.width());
            line.setPosition(QPointF(0, baseline - ascent));
        }
        layout.endLayout();
        painter.setPen(palette().color(QPalette::WindowText));
        layout.draw(&painter, area.topLeft());
    }
};

} // namespace

QStringList DriveRoots(QStringList mountRoots) {
    mountRoots.removeIf([](const QString& root) { return !QFileInfo(root).isDir(); });
    mountRoots.removeDuplicates();
    mountRoots.removeAll(QDir::rootPath());
    mountRoots.sort();
    mountRoots.prepend(QDir::rootPath());
    return mountRoots;
}

QStringList MountedDriveRoots() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) roots.append(volume.rootPath());
    }
    return DriveRoots(roots);
}

Form1::Form1(QWidget* parent, QString previousResult) : QDialog(parent), strPath_(std::move(previousResult)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(text::FolderDialogTitle());
    setFont(JapaneseFont());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // Created in tab order.
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setEditable(false);
    Dir1 = new FolderList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    cmdOK = new QPushButton(text::OkCaption(), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(text::CancelCaption(), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    Label1 = new PromptLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Neither button is the default or the cancel button: Enter presses nothing, and Escape closes the
    // dialog as its frame does, without running Cancel.
    for (QPushButton* button : {cmdOK, cmdCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    FixClientSizeInTwips(this, 4035, 4020);
    PlaceInTwips(Drive1, 120, 600, 2895, 300);
    PlaceInTwips(Dir1, 120, 1080, 2895, 2400);
    PlaceInTwips(cmdOK, 1680, 3600, 1000, 350);
    PlaceInTwips(cmdCancel, 2880, 3600, 1000, 350);
    PlaceInTwips(Label1, 120, 120, 3735, 375);
    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    const QStringList roots = MountedDriveRoots();
    Drive1->addItems(roots);
    const int current = roots.indexOf(QStorageInfo(QDir::currentPath()).rootPath());
    Drive1->setCurrentIndex(current >= 0 ? current : 0);

    connect(Drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    connect(cmdOK, &QPushButton::clicked, this, &Form1::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &Form1::cmdCancel_Click);
}

void Form1::setPrompt(const QString& prompt) {
    Label1->setText(prompt);
}

QString Form1::prompt() const {
    return Label1->text();
}

void Form1::setPath(const QString& folder) {
    Dir1->setPath(folder);
}

QString Form1::path() const {
    return Dir1->path();
}

void Form1::Drive1_Change() {
    if (Drive1->currentIndex() >= 0) Dir1->setPath(Drive1->currentText());
}

void Form1::cmdOK_Click() {
    // The open folder, not a subfolder that is merely highlighted.
    strPath_ = Dir1->path();
    if (!strPath_.endsWith(QLatin1Char('/'))) strPath_ += QLatin1Char('/');
    accept();
}

void Form1::cmdCancel_Click() {
    strPath_.clear();
    reject();
}

} // namespace kolvane
