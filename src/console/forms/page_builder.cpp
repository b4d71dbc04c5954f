#include "console/forms/page_builder.h"

#include "console/forms/component_texts.h"

#include <QGridLayout>

namespace getkelo {

namespace {

QGridLayout* gridOf(QGroupBox* group) {
    return static_cast<QGridLayout*>(group->layout());
}
int nextRow(QGroupBox* group) {
    QGridLayout* g = gridOf(group);
    return g->count() == 0 ? 0 : g->rowCount();
}

} // namespace

QGroupBox* pageGroup(QWidget* parent, const char* key, const char* caption) {
    auto* group = new QGroupBox(QString::fromUtf8(caption), parent);
    if (key && *key) markComponent(group, key);
    new QGridLayout(group);
    return group;
}

QLineEdit* addField(QGroupBox* group, const char* key, const char* caption, int width) {
    const int row = nextRow(group);
    auto* label = new QLabel(QString::fromUtf8(caption), group);
    if (key && *key) markComponent(label, key);
    auto* edit = new QLineEdit(group);
    edit->setMinimumWidth(width);
    label->setBuddy(edit);
    gridOf(group)->addWidget(label, row, 0);
    gridOf(group)->addWidget(edit, row, 1);
    return edit;
}

QCheckBox* addCheck(QGroupBox* group, const char* key, const char* caption) {
    auto* c = new QCheckBox(QString::fromUtf8(caption), group);
    markComponent(c, key);
    gridOf(group)->addWidget(c, nextRow(group), 0, 1, 2);
    return c;
}

QPushButton* addButton(QGroupBox* group, const char* key, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), group);
    markComponent(b, key);
    gridOf(group)->addWidget(b, nextRow(group), 1, Qt::AlignRight);
    return b;
}

QLabel* addNote(QGroupBox* group, const char* key, const char* caption, bool red) {
    auto* l = new QLabel(QString::fromUtf8(caption), group);
    markComponent(l, key);
    l->setWordWrap(true);
    if (red) l->setStyleSheet("color: #c00000; font-weight: bold;");
    l->hide();
    gridOf(group)->addWidget(l, nextRow(group), 0, 1, 2);
    return l;
}

void closeGroup(QGroupBox* group) {
    gridOf(group)->setRowStretch(gridOf(group)->rowCount(), 1);
}

} // namespace getkelo
