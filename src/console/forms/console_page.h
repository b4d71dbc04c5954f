#pragma once
#include "console/console_view.h"

#include <QWidget>

namespace getkelo {

class TextSource;

// One page (tab) of the main window. A page owns its controls; the main window shows, hides
// and relabels it. The caption comes from the language key that names the page, or stays
// fixed when the page has none.
class ConsolePageWidget : public QWidget {
    Q_OBJECT
  public:
    ConsolePageWidget(ConsolePage kind, const QString& fixedCaption, QWidget* parent = nullptr);

    ConsolePage kind() const { return kind_; }
    // The caption before any language is applied, and for pages without a key.
    const QString& fixedCaption() const { return caption_; }

    // Texts that are more than a caption per control (choices, unit lists).
    virtual void applyLanguage(const TextSource& texts);

  private:
    ConsolePage kind_;
    QString caption_;
};

} // namespace getkelo
