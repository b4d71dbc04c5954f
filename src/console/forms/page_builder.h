#pragma once
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace getkelo {

// Builders for the captioned groups of the device setting pages: a group with a two-column
// grid, each call appending one row. Controls are marked with their language key.
QGroupBox* pageGroup(QWidget* parent, const char* key, const char* caption);
QLineEdit* addField(QGroupBox* group, const char* key, const char* caption, int width = 140);
QCheckBox* addCheck(QGroupBox* group, const char* key, const char* caption);
QPushButton* addButton(QGroupBox* group, const char* key, const char* caption);
// A note across the row (red for a wrong-input label); hidden until the page shows it.
QLabel* addNote(QGroupBox* group, const char* key, const char* caption, bool red);
// Ends the group's rows, so they stay at the top.
void closeGroup(QGroupBox* group);

} // namespace getkelo
