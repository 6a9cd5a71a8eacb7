#pragma once

class QTranslator;

namespace kolvane {

// Makes Qt's own texts (the buttons of standard dialogs, the context menu of a text box) Japanese, as
// every other text of the program is, from the qtbase_ja.qm Qt installs with its translations. Returns
// the translator, owned by the application, or null when the file is not installed (Qt's texts then
// stay English). Needs a QCoreApplication.
QTranslator* InstallQtTranslations();

} // namespace kolvane
