#include "ui/LocalityChoice.h"

#include "settings/Settings.h"
#include "ui/Controls.h"
#include "ui/Layout.h"
#include "ui/Texts.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace kolvane {
namespace {

// A button whose caption wraps onto further lines when it is wider than the button. Japanese
// captions have no spaces, so a too wide caption is broken after its "・" rather than anywhere.
class WrappingButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        QString caption = text();
        if (fontMetrics().horizontalAdvance(caption) > area.width())
            caption.replace(QStringLiteral("・"), QStringLiteral("・\n"));
        painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), caption,
                             QPalette::ButtonText);
    }
};

} // namespace

LocalityChoice::LocalityChoice(QWidget* window, std::string tablePath)
    : QObject(window), tablePath_(std::move(tablePath)) {
    cboArea1 = DropDownList(window, QStringLiteral("cboArea1"));
    cboArea2 = DropDownList(window, QStringLiteral("cboArea2"));
    // After the lists: the captions end a pixel into them and are drawn over them.
    Label1 = Named<QLabel>(window, QStringLiteral("Label1"), text::PrefectureCaption());
    Label2 = Named<QLabel>(window, QStringLiteral("Label2"), text::LocalityCaption());
    cmdSet = Named<WrappingButton>(window, QStringLiteral("cmdSet"), text::SetCoordinatesCaption());
    cmdSet->setAutoDefault(false);
    PlaceInTwips(cboArea1, 120, 360, 1215, 300);
    PlaceInTwips(cboArea2, 1440, 360, 2535, 300);
    PlaceInTwips(Label1, 120, 120, 1095, 255);
    PlaceInTwips(Label2, 1440, 120, 735, 255);
    PlaceInTwips(cmdSet, 3480, 840, 1120, 555);

    connect(cmdSet, &QPushButton::clicked, this, &LocalityChoice::cmdSet_Click);
    // A list's Click runs whenever its chosen entry changes, by the user or by code.
    connect(cboArea1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cboArea1_Click();
    });
    connect(cboArea2, &QComboBox::currentIndexChanged, this, &LocalityChoice::localityChanged);
}

void LocalityChoice::Restore(int prefectureIndex, const std::string& localityCode) {
    localityCode_ = localityCode;
    {
        const QSignalBlocker block(cboArea1);
        cboArea1->clear();
        for (std::string_view name : PREFECTURE_NAMES)
            cboArea1->addItem(FromCore(name));
        cboArea1->setCurrentIndex(-1);
    }
    // Choosing the entry fills the locality list and selects the remembered locality.
    cboArea1->setCurrentIndex(prefectureIndex);
}

int LocalityChoice::prefectureIndex() const {
    return std::max(cboArea1->currentIndex(), 0);
}

std::string LocalityChoice::localityCodeAtExit() {
    localityCode_ =
        LocalityCodeAtExit(tablePath_, prefectureIndex(), ToCore(cboArea2->currentText()), localityCode_);
    return localityCode_;
}

QString LocalityChoice::localityName() const {
    return cboArea2->currentText();
}

std::optional<LocalityCoordinates> LocalityChoice::chosenCoordinates() const {
    if (cboArea2->currentIndex() < 0) return std::nullopt;
    return FindLocalityCoordinates(tablePath_, cboArea1->currentIndex(), ToCore(cboArea2->currentText()));
}

void LocalityChoice::cboArea1_Click() {
    cboArea2->clear();
    const LocalityList localities = ListLocalities(tablePath_, cboArea1->currentIndex(), localityCode_);
    for (const std::string& name : localities.names)
        cboArea2->addItem(FromCore(name));
    if (cboArea2->count() > 0) cboArea2->setCurrentIndex(localities.selection);
}

void LocalityChoice::cmdSet_Click() {
    const std::optional<LocalityCoordinates> found = chosenCoordinates();
    if (found) emit coordinatesChosen(*found);
}

} // namespace kolvane
