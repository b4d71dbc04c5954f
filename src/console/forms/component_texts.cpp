#include "console/forms/component_texts.h"

#include "console/text_source.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTableWidget>

namespace getkelo {

static const char* kKeyProperty = "getkeloLngKey";
static const char* kPrefixProperty = "getkeloLngPrefix";
static const char* kTipProperty = "getkeloLngTip";
static const char* kItemsProperty = "getkeloLngItems";
static const char* kHeadersProperty = "getkeloLngHeaders";

void markComponent(QObject* control, const QString& objectName, const QString& key,
                   const QString& prefix) {
    control->setObjectName(objectName);
    control->setProperty(kKeyProperty, key.isEmpty() ? objectName : key);
    if (!prefix.isEmpty()) control->setProperty(kPrefixProperty, prefix);
}

void markToolTip(QObject* control, const QString& key) {
    control->setProperty(kTipProperty, key);
}

void markItems(QComboBox* box, const QStringList& keys) {
    box->setProperty(kItemsProperty, keys);
    while (box->count() < keys.size())
        box->addItem(keys[box->count()]);
}

void markHeaders(QTableWidget* table, const QStringList& keys) {
    table->setProperty(kHeadersProperty, keys);
}

static QString text(const TextSource& texts, const QVariant& key) {
    return QString::fromStdString(texts.text(key.toString().toStdString()));
}

static void applyCaption(QObject* o, const QString& text) {
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

static void applyOne(QObject* o, const TextSource& texts) {
    if (const QVariant key = o->property(kKeyProperty); key.isValid())
        applyCaption(o, o->property(kPrefixProperty).toString() + text(texts, key));
    if (const QVariant tip = o->property(kTipProperty); tip.isValid()) {
        if (auto* a = qobject_cast<QAction*>(o))
            a->setToolTip(text(texts, tip));
        else if (auto* w = qobject_cast<QWidget*>(o))
            w->setToolTip(text(texts, tip));
    }
    if (auto* box = qobject_cast<QComboBox*>(o)) {
        const QStringList keys = box->property(kItemsProperty).toStringList();
        for (int i = 0; i < keys.size() && i < box->count(); ++i)
            box->setItemText(i, text(texts, keys[i]));
    }
    if (auto* table = qobject_cast<QTableWidget*>(o)) {
        const QStringList keys = table->property(kHeadersProperty).toStringList();
        for (int i = 0; i < keys.size() && i < table->columnCount(); ++i) {
            if (!table->horizontalHeaderItem(i))
                table->setHorizontalHeaderItem(i, new QTableWidgetItem);
            table->horizontalHeaderItem(i)->setText(text(texts, keys[i]));
        }
    }
}

void applyComponentTexts(QObject* root, const TextSource& texts) {
    applyOne(root, texts);
    for (QObject* o : root->findChildren<QObject*>())
        applyOne(o, texts);
}

} // namespace getkelo
