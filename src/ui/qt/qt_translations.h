#pragma once
#include <QString>

namespace getkelo {

// Qt's own texts (the buttons of message and input boxes, the file and folder choosers)
// follow the program's language: loads Qt's translation of `locale` ("de") from Qt's
// translation folder, or removes it for "en", "" or a locale Qt has no file for. False when
// a translation was wanted but could not be loaded.
bool useQtTranslations(const QString& locale);

// The locale whose translation is in use ("" for Qt's built-in English).
QString qtTranslationLocale();

} // namespace getkelo
