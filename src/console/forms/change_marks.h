#pragma once
#include <QWidget>

namespace getkelo {

// The change marks of the device setting pages: an edited field gets a light yellow
// background, a changed choice or check box near-black text instead of the system colour.
inline void markEdit(QWidget* edit, bool changed) {
    edit->setStyleSheet(changed ? "background: #ffffc0;" : "");
}
inline void markChoice(QWidget* choice, bool changed) {
    choice->setStyleSheet(changed ? "color: #101010;" : "");
}

} // namespace getkelo
