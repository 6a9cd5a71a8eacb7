#include "ui/CoordinateEntry.h"

#include "ui/Controls.h"
#include "ui/Layout.h"
#include "ui/Texts.h"
#include "ui/UserDialogs.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace kolvane {
namespace {

// The character code a typed key gives the box, as the keyboard sends it: Ctrl with a letter is the
// control character of that letter (Ctrl+V is 22), whatever text the platform put in the event.
// Empty for keys that type nothing (arrows, Delete, Tab and the like).
QString TypedCharacters(const QKeyEvent& event) {
    const int key = event.key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete) return QString();
    const Qt::KeyboardModifiers chord = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (chord == Qt::ControlModifier && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar(key - Qt::Key_A + 1));
    return event.text();
}

} // namespace

CoordinateEntry::CoordinateEntry(QWidget* window, UserDialogs& dialogs) : QObject(window), dialogs_(dialogs) {
    for (int i = 0; i < 3; ++i)
        txtLat[i] = Named<QLineEdit>(window, QStringLiteral("txtLat%1").arg(i));
    for (int i = 0; i < 3; ++i)
        txtLon[i] = Named<QLineEdit>(window, QStringLiteral("txtLon%1").arg(i));
    // After the boxes: the captions end a pixel into them and are drawn over them.
    lblLat = Named<QLabel>(window, QStringLiteral("lblLat"), text::LatitudeCaption());
    lblLon = Named<QLabel>(window, QStringLiteral("lblLon"), text::LongitudeCaption());

    // Each box shows four digits in the Japanese font (a three-digit longitude, or a pasted "35.5");
    // the longitude group and the button beside it move right to make room.
    PlaceInTwips(txtLat[0], 120, 1080, 510, 300);
    PlaceInTwips(txtLat[1], 660, 1080, 510, 300);
    PlaceInTwips(txtLat[2], 1200, 1080, 510, 300);
    PlaceInTwips(txtLon[0], 1800, 1080, 510, 300);
    PlaceInTwips(txtLon[1], 2340, 1080, 510, 300);
    PlaceInTwips(txtLon[2], 2880, 1080, 510, 300);
    PlaceInTwips(lblLat, 120, 840, 615, 255);
    PlaceInTwips(lblLon, 1800, 840, 615, 255);

    for (int i = 0; i < 3; ++i) {
        for (QLineEdit* box : {txtLat[i], txtLon[i]}) {
            // The boxes are narrow: no room to spare for inner margins.
            box->setTextMargins(0, 0, 0, 0);
            // Characters composed by an input method would bypass the keystroke filter.
            box->setAttribute(Qt::WA_InputMethodEnabled, false);
            box->installEventFilter(this);
        }
        connect(txtLat[i], &QLineEdit::textChanged, this, [this, i] { txtLat_Change(i); });
        for (QLineEdit* box : {txtLat[i], txtLon[i]})
            connect(box, &QLineEdit::textEdited, this, &CoordinateEntry::edited);
        connect(txtLon[i], &QLineEdit::textChanged, this, [this, i] { txtLon_Change(i); });
    }
}

std::vector<std::string> CoordinateEntry::latitude() const {
    return {ToCore(txtLat[0]->text()), ToCore(txtLat[1]->text()), ToCore(txtLat[2]->text())};
}

std::vector<std::string> CoordinateEntry::longitude() const {
    return {ToCore(txtLon[0]->text()), ToCore(txtLon[1]->text()), ToCore(txtLon[2]->text())};
}

void CoordinateEntry::setCoordinates(const std::array<std::string, 3>& latitude,
                                     const std::array<std::string, 3>& longitude) {
    for (int i = 0; i < 3; ++i)
        txtLat[i]->setText(FromCore(latitude[i]));
    for (int i = 0; i < 3; ++i)
        txtLon[i]->setText(FromCore(longitude[i]));
}

void CoordinateEntry::chooseCoordinates(const std::array<std::string, 3>& latitude,
                                        const std::array<std::string, 3>& longitude) {
    setCoordinates(latitude, longitude);
    for (int i = 0; i < 3; ++i) {
        for (auto [box, which] :
             {std::pair{txtLat[i], LatitudeBox(i)}, std::pair{txtLon[i], LongitudeBox(i)}}) {
            // An empty box was either left empty by the row or already reported.
            if (!box->text().isEmpty() && !PassesFinalRangeCheck(which, ToCore(box->text())))
                RejectCoordinateBox(box, which);
        }
    }
}

bool CoordinateEntry::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 3; ++i) {
        const bool latitude = watched == txtLat[i];
        if (!latitude && watched != txtLon[i]) continue;
        if (event->type() == QEvent::KeyPress)
            return DiscardsKey(i, latitude, *static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::InputMethod) {
            // Should an input method still reach the box, its text passes the same filter.
            for (QChar typed : static_cast<QInputMethodEvent*>(event)->commitString()) {
                if (!PassesKeyFilter(typed.unicode())) return true;
            }
        }
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool CoordinateEntry::DiscardsKey(int index, bool latitude, const QKeyEvent& event) {
    // Select-all types nothing: it is how a value is replaced by retyping it.
    if (event.matches(QKeySequence::SelectAll)) return false;
    for (QChar typed : TypedCharacters(event)) {
        int keyAscii = typed.unicode();
        if (latitude)
            txtLat_KeyPress(index, keyAscii);
        else
            txtLon_KeyPress(index, keyAscii);
        if (keyAscii == 0) return true;
    }
    return false;
}

void CoordinateEntry::txtLat_KeyPress(int, int& keyAscii) {
    if (!PassesKeyFilter(static_cast<char32_t>(keyAscii))) keyAscii = 0;
}

void CoordinateEntry::txtLon_KeyPress(int, int& keyAscii) {
    if (!PassesKeyFilter(static_cast<char32_t>(keyAscii))) keyAscii = 0;
}

void CoordinateEntry::txtLat_Change(int index) {
    CheckCoordinateBox(txtLat[index], LatitudeBox(index));
}

void CoordinateEntry::txtLon_Change(int index) {
    CheckCoordinateBox(txtLon[index], LongitudeBox(index));
}

void CoordinateEntry::CheckCoordinateBox(QLineEdit* box, CoordinateBox which) {
    if (!PassesRangeCheck(which, ToCore(box->text()))) RejectCoordinateBox(box, which);
}

void CoordinateEntry::RejectCoordinateBox(QLineEdit* box, CoordinateBox which) {
    dialogs_.ShowMessage(FromCore(RangeMessage(which)), FromCore(INPUT_ERROR_TITLE), STYLE_EXCLAMATION);
    // The whole text goes, not just the last character; emptying runs the check once more, which
    // passes.
    box->setText(QString());
}

} // namespace kolvane
