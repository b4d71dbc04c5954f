#include "ui/qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace getkelo {

namespace {

struct Installed {
    QTranslator translator;
    QString locale;
    bool active = false;
};

Installed& installed() {
    static Installed i;
    return i;
}

} // namespace

bool useQtTranslations(const QString& locale) {
    Installed& i = installed();
    if (i.active && i.locale == locale) return true;
    if (i.active) {
        QCoreApplication::removeTranslator(&i.translator);
        i.active = false;
        i.locale.clear();
    }
    if (locale.isEmpty() || locale.startsWith("en")) return true; // Qt's own texts are English
    if (!i.translator.load("qtbase_" + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(&i.translator);
    i.active = true;
    i.locale = locale;
    return true;
}

QString qtTranslationLocale() {
    return installed().active ? installed().locale : QString();
}

} // namespace getkelo
