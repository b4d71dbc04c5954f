#include "calib/forms/analog_page.h"

#include "base/number_format.h"
#include "calib/analog_check.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace getkelo {
namespace {

constexpr int kGridRows = kAnalogPoints + 1; // header row and the points

QPushButton* button(const char* name, const QString& caption) {
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    return b;
}

QTableWidget* grid(const char* name) {
    auto* g = new QTableWidget(kGridRows, 3);
    g->setObjectName(name);
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::NoSelection);
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    g->verticalHeader()->setDefaultSectionSize(24);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setMinimumWidth(300);
    g->setFixedHeight(kGridRows * 24 + 2 * g->frameWidth());
    return g;
}

QRadioButton* radio(const char* text, QVBoxLayout* into, bool checked = false) {
    auto* r = new QRadioButton(text);
    r->setChecked(checked);
    into->addWidget(r);
    return r;
}

// A signal group: the three signals, the live zero and the three buttons beside its grid.
QGroupBox* signalGroup(const char* name, const QString& title, QRadioButton* (&choices)[3],
                       QCheckBox*& liveZero, const char* checkName, QTableWidget* table,
                       QPushButton* (&buttons)[3], QLabel*& coefficients) {
    auto* box = new QGroupBox(title);
    box->setObjectName(name);
    auto* layout = new QHBoxLayout(box);
    auto* left = new QVBoxLayout;
    choices[0] = radio("Strom 20 mA", left, true);
    choices[1] = radio("Spannung 5 V", left);
    choices[2] = radio("Spannung 10 V", left);
    liveZero = new QCheckBox("20..100%");
    liveZero->setObjectName(checkName);
    left->addWidget(liveZero);
    left->addSpacing(12);
    left->addSpacing(12);
    coefficients = new QLabel;
    coefficients->setMinimumWidth(120);
    left->addWidget(coefficients);
    left->addStretch();
    layout->addLayout(left);
    auto* right = new QVBoxLayout;
    right->addWidget(table);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : buttons)
        row->addWidget(b);
    row->addStretch();
    right->addLayout(row);
    layout->addLayout(right, 1);
    return box;
}

AnalogSignal signalOf(QRadioButton* current, QRadioButton* volt5) {
    return current->isChecked() ? AnalogSignal::Current20mA
           : volt5->isChecked() ? AnalogSignal::Voltage5V
                                : AnalogSignal::Voltage10V;
}

} // namespace

AnalogPage::AnalogPage(AnalogCheck& check, QWidget* parent) : QWidget(parent), check_(check) {
    setObjectName("AnalogSheet");
    MesswertGrid = grid("MesswertGrid");
    SollwertGrid = grid("SollwertGrid");
    PruefAusBtn = button("PruefAusBtn", "Prüfen");
    JustAusBtn = button("JustAusBtn", "Justieren");
    KalibAusBtn = button("KalibAusBtn", "Kalibrieren");
    PruefEinBtn = button("PruefEinBtn", "Prüfen");
    JustEinBtn = button("JustEinBtn", "Justieren");
    KalibEinBtn = button("KalibEinBtn", "Kalibrieren");
    QRadioButton* ist[3];
    QRadioButton* soll[3];
    QPushButton* aus[3] = {PruefAusBtn, JustAusBtn, KalibAusBtn};
    QPushButton* ein[3] = {PruefEinBtn, JustEinBtn, KalibEinBtn};
    IstGroup = signalGroup("IstGroup", "Analogausgang (Istwert)", ist, CheckBox1, "CheckBox1",
                           MesswertGrid, aus, DacLabel);
    SollGroup = signalGroup("SollGroup", "Sollwert-Eingang", soll, CheckBox2, "CheckBox2",
                            SollwertGrid, ein, AdcLabel);
    IstCurrent = ist[0], IstVolt5 = ist[1], IstVolt10 = ist[2];
    SollCurrent = soll[0], SollVolt5 = soll[1], SollVolt10 = soll[2];
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(IstGroup);
    layout->addWidget(SollGroup);
    layout->addStretch();
    showGrid(AnalogSide::Output);
    showGrid(AnalogSide::Input);

    connect(PruefAusBtn, &QPushButton::clicked, this, [this] { PruefAusBtnClick(); });
    connect(JustAusBtn, &QPushButton::clicked, this, [this] { JustAusBtnClick(); });
    connect(KalibAusBtn, &QPushButton::clicked, this, [this] { KalibAusBtnClick(); });
    connect(PruefEinBtn, &QPushButton::clicked, this, [this] { PruefEinBtnClick(); });
    connect(JustEinBtn, &QPushButton::clicked, this, [this] { JustEinBtnClick(); });
    connect(KalibEinBtn, &QPushButton::clicked, this, [this] { KalibEinBtnClick(); });
    // A changed signal empties its grid's unit until the next check.
    for (QRadioButton* r : ist)
        connect(r, &QRadioButton::toggled, this, [this] { showGrid(AnalogSide::Output); });
    for (QRadioButton* r : soll)
        connect(r, &QRadioButton::toggled, this, [this] { showGrid(AnalogSide::Input); });
}

AnalogRange AnalogPage::outputRange() const {
    return {signalOf(IstCurrent, IstVolt5), CheckBox1->isChecked()};
}

AnalogRange AnalogPage::inputRange() const {
    return {signalOf(SollCurrent, SollVolt5), CheckBox2->isChecked()};
}

void AnalogPage::prepare() {
    if (beforeAction) beforeAction();
}

void AnalogPage::AnalogSheetShow() {
    prepare();
    check_.AnalogSheetShow(outputRange(), inputRange());
    showGrid(AnalogSide::Output);
    showGrid(AnalogSide::Input);
}

void AnalogPage::PruefAusBtnClick() {
    prepare();
    check_.PruefAusBtnClick(outputRange());
    showGrid(AnalogSide::Output);
}

void AnalogPage::JustAusBtnClick() {
    prepare();
    check_.JustAusBtnClick();
    showGrid(AnalogSide::Output);
}

void AnalogPage::KalibAusBtnClick() {
    prepare();
    check_.KalibAusBtnClick();
    showGrid(AnalogSide::Output);
}

void AnalogPage::PruefEinBtnClick() {
    prepare();
    check_.PruefEinBtnClick(inputRange());
    showGrid(AnalogSide::Input);
}

void AnalogPage::JustEinBtnClick() {
    prepare();
    check_.JustEinBtnClick();
    showGrid(AnalogSide::Input);
}

void AnalogPage::KalibEinBtnClick() {
    prepare();
    check_.KalibEinBtnClick();
    showGrid(AnalogSide::Input);
}

void AnalogPage::showGrid(AnalogSide side) {
    const bool out = side == AnalogSide::Output;
    QTableWidget* g = out ? MesswertGrid : SollwertGrid;
    const std::vector<AnalogRow>& rows = check_.grid(side).rows;
    // The unit of the rows shown, or of the signal chosen for the next check.
    const AnalogRange range = !rows.empty() ? check_.grid(side).range
                              : out         ? outputRange()
                                            : inputRange();
    const AnalogCoefficients& k = check_.coefficients(side);
    (out ? DacLabel : AdcLabel)
        ->setText(
            QString("k0 = %1\nk1 = %2").arg(k.k0).arg(QString::fromStdString(formatGeneral(k.k1))));
    const QString header[3] = {"Prüfling", QString("Ref. [%1]").arg(analogUnit(range.signal)),
                               "Fehler %EW"};
    for (int c = 0; c < 3; ++c) {
        auto* item = new QTableWidgetItem(header[c]);
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
        item->setBackground(g->palette().button());
        g->setItem(0, c, item);
    }
    for (int r = 0; r < kAnalogPoints; ++r) {
        const bool has = r < static_cast<int>(rows.size());
        const double values[3] = {has ? rows[r].device : 0, has ? rows[r].reference : 0,
                                  has ? rows[r].errorPct : 0};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(
                has ? QString::fromStdString(formatFixedMax(values[c], 2)) : QString());
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (has && c == 2) {
                item->setBackground(rows[r].pass() ? QColor(0xc8, 0xf0, 0xc8)
                                                   : QColor(0xf8, 0xc8, 0xc8));
                item->setToolTip(rows[r].pass() ? "in Ordnung" : "außerhalb der Toleranz");
            }
            g->setItem(r + 1, c, item);
        }
    }
}

} // namespace getkelo
