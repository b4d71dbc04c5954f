#include "console/forms/mixer_page.h"

#include "console/forms/component_texts.h"
#include "console/mixer/gas_mixer.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace getkelo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

void setTextIfChanged(QLineEdit* edit, const std::string& text) {
    if (edit->text() != q(text)) edit->setText(q(text));
}

QLineEdit* readOnlyField(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

} // namespace

MixerPage::MixerPage(QWidget* parent) : ConsolePageWidget(ConsolePage::Mixer, "Mischer", parent) {
    markComponent(this, "MixSheet");
    auto* grid = new QGridLayout(this);

    // ---- mixer list
    auto* mixers = new QGroupBox("Mischer", this);
    markComponent(mixers, "GroupBox4");
    auto* ml = new QGridLayout(mixers);
    MischerListBox = new QListWidget(mixers);
    MischerListBox->setObjectName("MischerListBox");
    MischerListBox->setMinimumWidth(140);
    NeuBtn = new QPushButton("Neuer Mischer", mixers);
    markComponent(NeuBtn, "NeuBtn");
    DeleteBtn = new QPushButton("Löschen", mixers);
    markComponent(DeleteBtn, "DeleteBtn");
    ml->addWidget(MischerListBox, 0, 0, 1, 2);
    ml->addWidget(NeuBtn, 1, 0);
    ml->addWidget(DeleteBtn, 1, 1);

    // ---- composition
    auto* comp = new QGroupBox("Zusammensetzung", this);
    markComponent(comp, "GroupBox5");
    auto* cl = new QGridLayout(comp);
    MischTypBox = new QComboBox(comp);
    MischTypBox->setObjectName("MischTypBox");
    MischTypBox->addItems({"Gasgemisch fix", "Master - Slave - Mischer"});
    markItems(MischTypBox, {"MischTyp0", "MischTyp1"});
    AnteilBox = new QComboBox(comp);
    AnteilBox->setObjectName("AnteilBox");
    AnteilBox->addItems({"Anteil [%]", "Anteil [ppm]"});
    markItems(AnteilBox, {"Anteil0", "Anteil1"});
    GasGrid = new QTableWidget(0, 2, comp);
    GasGrid->setObjectName("GasGrid");
    GasGrid->setHorizontalHeaderLabels({"Gerät", "Anteil [%]"});
    markHeaders(GasGrid, {"GasGridDevice", "Anteil0"});
    GasGrid->verticalHeader()->setVisible(false);
    GasGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    GasGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    GasGrid->setMinimumWidth(200);
    MixOKBtn = new QPushButton("Übernehmen", comp);
    markComponent(MixOKBtn, "MixOKBtn");
    cl->addWidget(MischTypBox, 0, 0, 1, 2);
    cl->addWidget(AnteilBox, 1, 0, 1, 2);
    cl->addWidget(GasGrid, 2, 0, 1, 2);
    cl->addWidget(MixOKBtn, 3, 1);

    // ---- mixture
    auto* totals = new QGroupBox("Gemisch", this);
    markComponent(totals, "GroupBox6");
    auto* tl = new QGridLayout(totals);
    auto label = [totals](const char* key, const char* text) {
        auto* l = new QLabel(text, totals);
        markComponent(l, key);
        return l;
    };
    EinheitBox = new QComboBox(totals);
    for (const std::string& u : mixtureFlowUnits())
        EinheitBox->addItem(q(u));
    SollwertEdit = new QLineEdit(totals);
    SollwertEdit->setAlignment(Qt::AlignRight);
    SollMixOKBtn = new QPushButton("Übernehmen", totals);
    markComponent(SollMixOKBtn, "SollMixOKBtn");
    TotalRangeEdit = readOnlyField(totals);
    TotalFlowEdit = readOnlyField(totals);
    TotalEinheitBox = new QComboBox(totals);
    for (const std::string& u : mixtureTotalUnits())
        TotalEinheitBox->addItem(q(u));
    GesamttotalEdit = readOnlyField(totals);
    CountRstBtn = new QPushButton("Total löschen", totals);
    markComponent(CountRstBtn, "Button1");
    tl->addWidget(label("Label3", "Einheit"), 0, 0);
    tl->addWidget(EinheitBox, 0, 1);
    tl->addWidget(label("SollwertEdit", "Sollwert"), 1, 0);
    tl->addWidget(SollwertEdit, 1, 1);
    tl->addWidget(SollMixOKBtn, 1, 2);
    tl->addWidget(label("TotalRangeEdit", "Bereich"), 2, 0);
    tl->addWidget(TotalRangeEdit, 2, 1);
    tl->addWidget(label("TotalFlowEdit", "Istwert"), 3, 0);
    tl->addWidget(TotalFlowEdit, 3, 1);
    tl->addWidget(label("Label6", "Totaleinheit"), 4, 0);
    tl->addWidget(TotalEinheitBox, 4, 1);
    tl->addWidget(label("LabeledEdit3", "Gesamttotal"), 5, 0);
    tl->addWidget(GesamttotalEdit, 5, 1);
    tl->addWidget(CountRstBtn, 5, 2);
    tl->setRowStretch(6, 1);

    // ---- mixing
    auto* run = new QGroupBox("Mischen", this);
    markComponent(run, "GroupBox7");
    auto* rl = new QVBoxLayout(run);
    MixBtn = new QPushButton("Mischen", run);
    markComponent(MixBtn, "MixBtn");
    MixBtn->setCheckable(true);
    StopBtn2 = new QPushButton("Anhalten", run);
    markComponent(StopBtn2, "StopBtn2");
    rl->addWidget(MixBtn);
    rl->addWidget(StopBtn2);
    rl->addStretch();

    grid->addWidget(mixers, 0, 0);
    grid->addWidget(comp, 0, 1);
    grid->addWidget(totals, 0, 2);
    grid->addWidget(run, 0, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    // Nothing to act on until the mixer logic is attached.
    for (QWidget* w : std::initializer_list<QWidget*>{NeuBtn, DeleteBtn, MixOKBtn, SollMixOKBtn,
                                                      CountRstBtn, MixBtn, StopBtn2})
        w->setEnabled(false);
}

void MixerPage::attach(GasMixer& mixer) {
    mixer_ = &mixer;
    mixer.setChangedCallback([this] { render(); });

    connect(NeuBtn, &QPushButton::clicked, this, [this] { mixer_->newMixer(); });
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { mixer_->deleteMixer(); });
    connect(MischerListBox, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row != mixer_->state().selected) mixer_->selectMixer(row);
    });
    connect(MischerListBox, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        int row = MischerListBox->row(item);
        bool on = item->checkState() == Qt::Checked;
        const auto& mixers = mixer_->state().mixers;
        if (row >= 0 && row < static_cast<int>(mixers.size()) && mixers[row].active != on)
            mixer_->setActive(row, on);
    });
    connect(MischTypBox, &QComboBox::activated, this,
            [this](int i) { mixer_->setType(static_cast<MixerType>(i)); });
    connect(AnteilBox, &QComboBox::activated, this,
            [this](int i) { mixer_->setShareUnit(static_cast<ShareUnit>(i)); });
    connect(GasGrid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 1) mixer_->setShareText(item->row(), item->text().toStdString());
    });
    connect(MixOKBtn, &QPushButton::clicked, this, [this] { mixer_->applyComposition(); });
    connect(EinheitBox, &QComboBox::activated, this,
            [this] { mixer_->setFlowUnit(EinheitBox->currentText().toStdString()); });
    connect(TotalEinheitBox, &QComboBox::activated, this,
            [this] { mixer_->setTotalUnit(TotalEinheitBox->currentText().toStdString()); });
    auto applySetpoint = [this] { mixer_->applySetpoint(SollwertEdit->text().toStdString()); };
    connect(SollMixOKBtn, &QPushButton::clicked, this, applySetpoint);
    connect(SollwertEdit, &QLineEdit::returnPressed, this, applySetpoint);
    connect(CountRstBtn, &QPushButton::clicked, this, [this] { mixer_->clearTotals(); });
    connect(MixBtn, &QPushButton::clicked, this, [this] { mixer_->startMixing(); });
    connect(StopBtn2, &QPushButton::clicked, this, [this] { mixer_->stopMixing(); });
    render();
}

void MixerPage::setMixerNames(const std::vector<std::string>& names) {
    if (mixer_) {
        mixer_->reload();
        return;
    }
    MischerListBox->clear();
    for (const auto& n : names) {
        auto* item = new QListWidgetItem(q(n), MischerListBox);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void MixerPage::render() {
    if (!mixer_) return;
    const MixerPageState& s = mixer_->state();
    const bool hasMixer = s.selected >= 0;
    {
        QSignalBlocker block(MischerListBox);
        while (MischerListBox->count() > static_cast<int>(s.mixers.size()))
            delete MischerListBox->takeItem(MischerListBox->count() - 1);
        for (size_t i = 0; i < s.mixers.size(); ++i) {
            QListWidgetItem* item = MischerListBox->item(static_cast<int>(i));
            Qt::CheckState check = s.mixers[i].active ? Qt::Checked : Qt::Unchecked;
            if (!item) {
                item = new QListWidgetItem(MischerListBox);
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(check); // an item without a state shows no box
            }
            if (item->text() != q(s.mixers[i].name)) item->setText(q(s.mixers[i].name));
            if (item->checkState() != check) item->setCheckState(check);
        }
        if (MischerListBox->currentRow() != s.selected) MischerListBox->setCurrentRow(s.selected);
    }
    {
        QSignalBlocker b1(MischTypBox), b2(AnteilBox), b3(EinheitBox), b4(TotalEinheitBox);
        MischTypBox->setCurrentIndex(static_cast<int>(s.type));
        AnteilBox->setCurrentIndex(static_cast<int>(s.shareUnit));
        EinheitBox->setCurrentText(q(s.flowUnit));
        TotalEinheitBox->setCurrentText(q(s.totalUnit));
    }
    renderComposition();

    // The operator may be typing a new setpoint: polling must not overwrite it.
    if (!SollwertEdit->hasFocus()) setTextIfChanged(SollwertEdit, s.sollwert);
    setTextIfChanged(TotalRangeEdit, s.bereich);
    setTextIfChanged(TotalFlowEdit, s.istwert);
    setTextIfChanged(GesamttotalEdit, s.gesamttotal);

    const bool editable = !s.mixing;
    NeuBtn->setEnabled(editable);
    DeleteBtn->setEnabled(editable && hasMixer);
    MischTypBox->setEnabled(editable && hasMixer);
    AnteilBox->setEnabled(editable && hasMixer);
    GasGrid->setEnabled(editable && hasMixer);
    MixOKBtn->setEnabled(editable && hasMixer);
    SollwertEdit->setEnabled(hasMixer && s.setpointEnabled);
    SollMixOKBtn->setEnabled(hasMixer && s.setpointEnabled);
    CountRstBtn->setEnabled(hasMixer);
    MixBtn->setEnabled(!s.mixing);
    MixBtn->setChecked(s.mixing);
    StopBtn2->setEnabled(s.mixing);
}

void MixerPage::applyLanguage(const TextSource&) {
    // The entries and headers came with the captions; the share header follows the unit.
    render();
}

void MixerPage::renderComposition() {
    const MixerPageState& s = mixer_->state();
    QSignalBlocker block(GasGrid);
    const QString shareHeader = AnteilBox->itemText(s.shareUnit == ShareUnit::Ppm ? 1 : 0);
    if (GasGrid->horizontalHeaderItem(1)->text() != shareHeader)
        GasGrid->horizontalHeaderItem(1)->setText(shareHeader);
    // An open cell editor has the focus inside the grid.
    QWidget* focus = QApplication::focusWidget();
    const bool editing = focus && focus != GasGrid && GasGrid->isAncestorOf(focus);
    const int rows = static_cast<int>(s.composition.size());
    if (GasGrid->rowCount() != rows) GasGrid->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const CompositionRow& c = s.composition[r];
        QTableWidgetItem* gas = GasGrid->item(r, 0);
        if (!gas) {
            gas = new QTableWidgetItem;
            GasGrid->setItem(r, 0, gas);
        }
        // The gas alone cannot tell two components of one gas apart: the address goes first.
        gas->setText(c.address > 0 ? QString("%1: %2").arg(c.address).arg(q(c.label)) : q(c.label));
        gas->setFlags(s.labelsReadOnly ? Qt::ItemIsEnabled
                                       : Qt::ItemIsEnabled | Qt::ItemIsEditable);
        QTableWidgetItem* share = GasGrid->item(r, 1);
        if (!share) {
            share = new QTableWidgetItem;
            share->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            GasGrid->setItem(r, 1, share);
        }
        // A share the operator is editing stays as typed until "Übernehmen".
        if (!(editing && GasGrid->currentRow() == r)) share->setText(q(c.share));
        // The remainder and the master are worked out, not typed.
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (r > 0) flags |= Qt::ItemIsEditable;
        share->setFlags(flags);
    }
}

} // namespace getkelo
