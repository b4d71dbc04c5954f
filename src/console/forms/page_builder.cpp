#include "console/forms/page_builder.h"

#include "console/forms/component_texts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace getkelo {

QGroupBox* fieldGroup(QWidget* page, const char* groupKey, const char* groupCaption,
                      std::initializer_list<std::pair<const char*, const char*>> fields) {
    auto* group = new QGroupBox(QString::fromUtf8(groupCaption), page);
    if (groupKey && *groupKey) markComponent(group, groupKey);
    auto* grid = new QGridLayout(group);
    int row = 0;
    for (const auto& [key, caption] : fields) {
        const QString k = QString::fromUtf8(key);
        const QString text = QString::fromUtf8(caption);
        if (k.startsWith("chk")) {
            auto* c = new QCheckBox(text, group);
            markComponent(c, k);
            grid->addWidget(c, row++, 0, 1, 2);
        } else if (k.startsWith("btn")) {
            auto* b = new QPushButton(text, group);
            markComponent(b, k);
            b->setEnabled(false); // the page's device logic is not there yet
            grid->addWidget(b, row++, 1, Qt::AlignRight);
        } else {
            auto* l = new QLabel(text, group);
            if (!k.isEmpty()) markComponent(l, k);
            grid->addWidget(l, row, 0);
            grid->addWidget(new QLineEdit(group), row++, 1);
        }
    }
    grid->setRowStretch(row, 1);
    return group;
}

} // namespace getkelo
