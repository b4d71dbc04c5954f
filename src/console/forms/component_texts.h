#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

class QComboBox;
class QTableWidget;

namespace getkelo {

class TextSource;

// Captions from the language file are found by component name: a control takes the text of
// the key that names it. Controls opt in by being marked; a key may differ from the object
// name (the fixed keys such as "Ubernehmen" for SollOKBtn) and a prefix may go before the
// text ("   " before the info entry).
void markComponent(QObject* control, const QString& objectName, const QString& key = QString(),
                   const QString& prefix = QString());
// A control's tooltip from a key (a widget or a menu entry).
void markToolTip(QObject* control, const QString& key);
// A choice's entries, one key each, in entry order (the selected entry stays selected).
void markItems(QComboBox* box, const QStringList& keys);
// Column headers of a table, one key per column.
void markHeaders(QTableWidget* table, const QStringList& keys);

// Sets every marked control below root (root included) to its text; a missing key empties it.
void applyComponentTexts(QObject* root, const TextSource& texts);

} // namespace getkelo
