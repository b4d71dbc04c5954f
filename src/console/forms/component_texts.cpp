#include "console/forms/component_texts.h"

#include "console/text_source.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

namespace getkelo {

static const char* kKeyProperty = "getkeloLngKey";
static const char* kPrefixProperty = "getkeloLngPrefix";

void markComponent(QObject* control, const QString& objectName, const QString& key,
                   const QString& prefix) {
    control->setObjectName(objectName);
    control->setProperty(kKeyProperty, key.isEmpty() ? objectName : key);
    if (!prefix.isEmpty()) control->setProperty(kPrefixProperty, prefix);
}

static void applyOne(QObject* o, const TextSource& texts) {
    const QVariant key = o->property(kKeyProperty);
    if (!key.isValid()) return;
    const QString text = o->property(kPrefixProperty).toString() +
                         QString::fromStdString(texts.text(key.toString().toStdString()));
    if (auto* a = qobject_cast<QAction*>(o)) {
        a->setText(text);
    } else if (auto* m = qobject_cast<QMenu*>(o)) {
        m->setTitle(text);
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        b->setText(text);
    } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
        g->setTitle(text);
    } else if (auto* l = qobject_cast<QLabel*>(o)) {
        l->setText(text);
    } else if (auto* w = qobject_cast<QWidget*>(o)) {
        // A page: its caption is the tab's text.
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
            if (auto* tabs = qobject_cast<QTabWidget*>(p)) {
                int i = tabs->indexOf(w);
                if (i >= 0) tabs->setTabText(i, text);
                break;
            }
        }
        w->setWindowTitle(text);
    }
}

void applyComponentTexts(QObject* root, const TextSource& texts) {
    applyOne(root, texts);
    for (QObject* o : root->findChildren<QObject*>())
        applyOne(o, texts);
}

} // namespace getkelo
