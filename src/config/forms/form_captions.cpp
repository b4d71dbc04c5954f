#include "config/forms/form_captions.h"

#include "console/text_source.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTableWidget>

namespace getkelo {
namespace {

QString translated(QObject* o, const QString& current, const char* property,
                   const TextSource& texts) {
    QVariant german = o->property(property);
    if (!german.isValid()) {
        o->setProperty(property, current);
        german = current;
    }
    const QString g = german.toString();
    std::string key = "cfg_";
    for (QChar c : g)
        key += (c.unicode() < 128 && c.isLetterOrNumber()) ? char(c.unicode()) : '_';
    const std::string t = texts.text(key);
    return t.empty() ? g : QString::fromStdString(t);
}

} // namespace

void applyFormCaptions(QWidget* form, const TextSource& texts) {
    form->setWindowTitle(translated(form, form->windowTitle(), "germanTitle", texts));
    for (QLabel* l : form->findChildren<QLabel*>())
        if (!l->objectName().startsWith("lbl")) // value labels stay
            l->setText(translated(l, l->text(), "germanCaption", texts));
    for (QAbstractButton* b : form->findChildren<QAbstractButton*>())
        b->setText(translated(b, b->text(), "germanCaption", texts));
    for (QGroupBox* g : form->findChildren<QGroupBox*>())
        g->setTitle(translated(g, g->title(), "germanCaption", texts));
    for (QTableWidget* t : form->findChildren<QTableWidget*>())
        for (int c = 0; c < t->columnCount(); ++c)
            if (QTableWidgetItem* h = t->horizontalHeaderItem(c))
                h->setText(translated(h->tableWidget(), h->text(),
                                      ("germanHeader" + std::to_string(c)).c_str(), texts));
}

} // namespace getkelo
