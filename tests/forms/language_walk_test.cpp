// Walks every widget of every window the main window creates, in each shipped language, and
// finds no caption left in the other language: every word of a caption must occur in the
// language's own file (or be a proper name or unit of the small allow-list), and no caption
// may be a text that only the other language's file has.
#include "form_bench.h"

#include "base/ini_file.h"
#include "console/forms/modbus_page.h"
#include "console/forms/tcomm_form.h"
#include "ui/qt/fbalken.h"
#include "ui/qt/qt_ui.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTest>

namespace {

// Proper names, units, abbreviations and data type names that read the same in every language
// (the parameter sets are "Set n" in both).
const QStringList kAllowed = {
    "getkelo", "kel",     "deutsch", "english", "ok",    "ip",  "tcp",    "com", "rs",  "port",
    "pc",      "modbus",  "namur",   "ne",      "mln",   "ln",  "mls",    "ls",  "scc", "sccm",
    "ma",      "bar",     "demo",    "sim",     "pid",   "lut", "eeprom", "oem", "kp",  "ki",
    "kd",      "kestrom", "uint",    "int",     "float", "hex", "string", "set"};

// The values of one language file.
QMap<QString, QString> languageTexts(const QString& language) {
    QMap<QString, QString> out;
    const std::string file = kDataDir + language.toStdString() + ".lng";
    for (const auto& [key, value] : IniFile(file).sectionPairs(language.toStdString()))
        out[QString::fromStdString(key).toLower()] = QString::fromStdString(value);
    return out;
}

// The words of a caption: markup, file names, hosts, numbers and units with a "/" are not
// words; what is left is cut into runs of letters.
QStringList words(QString text) {
    text.remove(QRegularExpression("<[^>]*>"));
    text.remove(QRegularExpression("&\\w+;"));
    text.replace("\\n", " ");
    text.remove('&');
    QStringList out;
    for (const QString& token : text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
        if (token.contains(QRegularExpression("[0-9/\\\\@]")) ||
            token.contains(QRegularExpression("\\.\\w")))
            continue;
        auto it = QRegularExpression("\\p{L}{2,}").globalMatch(token);
        while (it.hasNext())
            out << it.next().captured().toLower();
    }
    return out;
}

struct Language {
    QString name;
    QSet<QString> vocabulary; // every word of the language's texts, and the allow-list
    QSet<QString> otherOnly;  // texts of the other language that this one does not have
};

Language languageOf(const QString& name, const QString& other) {
    Language l;
    l.name = name;
    const auto own = languageTexts(name);
    const auto foreign = languageTexts(other);
    QSet<QString> ownTexts;
    auto addWords = [&l](const QString& text) {
        for (const QString& w : words(text))
            l.vocabulary.insert(w);
    };
    for (const QString& t : own) {
        ownTexts.insert(t.trimmed());
        addWords(t);
    }
    // The connection dialog carries its own texts, chosen by the language's first letter.
    const CommFormTexts c = commFormTexts(name.toStdString());
    for (const std::string& t :
         {c.caption, c.portGroup, c.device, c.baud, c.local, c.path, c.unknownType}) {
        ownTexts.insert(QString::fromStdString(t));
        addWords(QString::fromStdString(t));
    }
    // Data shipped beside the program: the contact file's names and streets.
    for (const auto& [key, value] : IniFile(kDataDir + "Kontakt.txt").sectionPairs("Kontakt"))
        addWords(QString::fromStdString(value));
    for (const QString& a : kAllowed)
        l.vocabulary.insert(a);
    for (auto it = foreign.begin(); it != foreign.end(); ++it)
        if (own.value(it.key()) != it.value() && !ownTexts.contains(it.value().trimmed()))
            l.otherOnly.insert(it.value().trimmed());
    const CommFormTexts o = commFormTexts(other.toStdString());
    for (const std::string& t : {o.caption, o.portGroup, o.local, o.path, o.unknownType})
        if (!ownTexts.contains(QString::fromStdString(t)))
            l.otherOnly.insert(QString::fromStdString(t));
    return l;
}

QString where(const QObject* o) {
    QStringList path;
    for (; o; o = o->parent())
        path.prepend(o->objectName().isEmpty() ? QString(o->metaObject()->className())
                                               : o->objectName());
    return path.join('/');
}

// Every caption a widget shows: titles, texts, tooltips, choice entries, headers, menu
// entries. Entered data (edit fields, list and table cells) is not a caption.
QList<QPair<const QObject*, QString>> captionsOf(QWidget* w) {
    QList<QPair<const QObject*, QString>> out;
    auto add = [&out](const QObject* o, const QString& t) {
        if (!t.trimmed().isEmpty()) out.append({o, t});
    };
    if (w->isWindow()) add(w, w->windowTitle());
    add(w, w->toolTip());
    if (auto* l = qobject_cast<QLabel*>(w)) add(w, l->text());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) add(w, b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) add(w, g->title());
    if (auto* e = qobject_cast<QLineEdit*>(w)) add(w, e->placeholderText());
    if (auto* c = qobject_cast<QComboBox*>(w))
        if (c->objectName() != "LngBox") // the languages by their own names
            for (int i = 0; i < c->count(); ++i)
                add(w, c->itemText(i));
    if (auto* t = qobject_cast<QTabWidget*>(w))
        for (int i = 0; i < t->count(); ++i) {
            add(w, t->tabText(i));
            add(w, t->tabToolTip(i));
        }
    if (auto* h = qobject_cast<QHeaderView*>(w); h && h->model())
        for (int i = 0; i < h->count(); ++i)
            add(w, h->model()->headerData(i, h->orientation()).toString());
    if (auto* m = qobject_cast<QMenu*>(w)) add(w, m->title());
    for (const QAction* a : w->actions()) {
        add(a, a->text());
        if (a->toolTip() != a->text().remove('&')) add(a, a->toolTip());
    }
    return out;
}

QStringList faults(const Language& l) {
    QStringList out;
    for (QWidget* w : QApplication::allWidgets()) {
        for (const auto& [o, caption] : captionsOf(w)) {
            if (l.otherOnly.contains(caption.trimmed())) {
                out << where(o) + ": \"" + caption + "\" is a text of the other language";
                continue;
            }
            for (const QString& word : words(caption))
                if (!l.vocabulary.contains(word)) {
                    out << where(o) + ": \"" + caption + "\" (\"" + word + "\" is in no text of " +
                               l.name + ")";
                    break;
                }
        }
    }
    out.removeDuplicates();
    return out;
}

} // namespace

class LanguageWalkTest : public QObject {
    Q_OBJECT
  private slots:
    void everyCaptionOfEveryWindowIsInTheChosenLanguage();
};

void LanguageWalkTest::everyCaptionOfEveryWindowIsInTheChosenLanguage() {
    Bench b;
    QtUi qt(b.window.get());
    b.ui.qt = &qt; // the scan's progress window is one of the windows
    b.window->resize(1040, 640);
    b.window->show();
    b.startAndScan();
    QVERIFY(b.window->console().devices().count() > 0);
    for (const auto& [name, other, cancel] :
         {std::tuple{"Deutsch", "English", "Abbrechen"}, {"English", "Deutsch", "Cancel"}}) {
        b.window->setLanguage(name);
        // Pages fill their choices when they come to the front.
        QTabWidget* tabs = b.window->pages();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
        }
        tabs->setCurrentIndex(0);
        // A scan shows its progress window with the stop button.
        b.window->modbusPage()->CheckBus->click();
        b.window->console().TimerTimer();
        b.window->pollTimer()->stop();
        QVERIFY(qt.progressWindow()->stopButton()->isVisible());
        QCoreApplication::processEvents();
        const QStringList found = faults(languageOf(name, other));
        QVERIFY2(found.isEmpty(), qPrintable(QString(name) + ":\n" + found.join('\n')));
        // Qt's own buttons (message boxes, choosers) speak the language too.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString(cancel));
        b.window->modbusPage()->CheckBus->click(); // the scan ends
        b.window->pollTimer()->stop();
    }
}

QTEST_MAIN(LanguageWalkTest)
#include "language_walk_test.moc"
