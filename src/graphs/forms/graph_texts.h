#pragma once
#include "console/text_source.h"

#include <QString>

namespace getkelo {

// A caption of the graph windows: the language file's text, or the German one when the file
// has none for this key.
inline QString caption(const TextSource& texts, const char* key, const char* german) {
    const std::string t = texts.text(key);
    return QString::fromStdString(t.empty() ? std::string(german) : t);
}

} // namespace getkelo
