#pragma once
#include <QObject>
#include <QString>

namespace getkelo {

class TextSource;

// Captions from the language file are found by component name: a control takes the text of
// the key that names it. Controls opt in by being marked; a key may differ from the object
// name (the fixed keys such as "Ubernehmen" for SollOKBtn) and a prefix may go before the
// text ("   " before the info entry).
void markComponent(QObject* control, const QString& objectName, const QString& key = QString(),
                   const QString& prefix = QString());

// Sets every marked control below root (root included) to its text; a missing key empties it.
void applyComponentTexts(QObject* root, const TextSource& texts);

} // namespace getkelo
