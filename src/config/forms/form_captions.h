#pragma once
#include <QWidget>

namespace getkelo {

class TextSource;

// The captions of a configuration form in the chosen language: each label, button, group, check
// box and table heading keeps its German caption as written in the form, and shows the text of
// the language key "cfg_" + that caption with every character outside [A-Za-z0-9] as "_"
// (data/texts/17_setup_and_data_sets.tsv); the German caption when the language has none.
void applyFormCaptions(QWidget* form, const TextSource& texts);

} // namespace getkelo
