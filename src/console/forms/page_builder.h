#pragma once
#include <QGridLayout>
#include <QGroupBox>
#include <QString>
#include <QWidget>

#include <initializer_list>
#include <utility>

namespace getkelo {

// Lays out a group of captioned fields for the pages whose device logic comes later: each
// entry is (component key, German caption); a key starting with "chk" gives a check box, "btn"
// a button, anything else a label with an edit field.
QGroupBox* fieldGroup(QWidget* page, const char* groupKey, const char* groupCaption,
                      std::initializer_list<std::pair<const char*, const char*>> fields);

} // namespace getkelo
