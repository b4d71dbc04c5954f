#include "shell/forms/tkontakt.h"

#include "console/text_source.h"
#include "shell/contact_file.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace getkelo {

TKontakt::TKontakt(QWidget* parent) : QDialog(parent) {
    setObjectName("Kontakt");
    setWindowTitle("Kontakt");
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(this);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse);
    text_->setOpenExternalLinks(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    setMinimumWidth(300);
}

void TKontakt::load(const std::string& programDir) {
    const ContactData c = readContactFile(programDir);
    auto esc = [](const std::string& s) { return QString::fromStdString(s).toHtmlEscaped(); };
    QStringList lines;
    lines << "<b>" + esc(c.name) + "</b>" << esc(c.street) << esc(c.address) << QString();
    if (!c.phone.empty()) lines << phone_ + " " + esc(c.phone);
    if (!c.fax.empty()) lines << fax_ + " " + esc(c.fax);
    if (!c.mail.empty()) lines << QString("<a href=\"mailto:%1\">%1</a>").arg(esc(c.mail));
    if (!c.url.empty()) lines << QString("<a href=\"%1\">%1</a>").arg(esc(c.url));
    text_->setText(lines.join("<br>"));
}

} // namespace getkelo

namespace getkelo {

void TKontakt::applyLanguage(const TextSource& texts) {
    setWindowTitle(QString::fromStdString(texts.text("KontaktMnu")));
    phone_ = QString::fromStdString(textOr(texts, "KontaktPhone", "Tel.:"));
    fax_ = QString::fromStdString(textOr(texts, "KontaktFax", "Fax:"));
}

} // namespace getkelo
