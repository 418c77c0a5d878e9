#include "dm/ui/DMTitleDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "customers/ComboData.h"
#include "customers/ui/ChoiceComboBox.h"
#include "common/ui/ImeMode.h"
#include "common/ui/SjisFieldBinding.h"

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

QComboBox* ListCombo(const std::vector<std::string>& items, const QString& name, QWidget* parent) {
    auto* c = new QComboBox(parent);
    for (const auto& s : items) c->addItem(Q(s));
    c->setAccessibleName(name);
    return c;
}

// A label with its buddy, both in one row of a grid.
void Row(QGridLayout* g, int row, const QString& text, QWidget* w) {
    auto* l = new QLabel(text, g->parentWidget());
    l->setBuddy(w);
    g->addWidget(l, row, 0);
    g->addWidget(w, row, 1);
}
}  // namespace

CDMTitleDlg::CDMTitleDlg(const std::string& installDir, const CDMTitleForm& form, QWidget* parent)
    : QDialog(parent), m_form(form) {
    setWindowTitle(QString::fromUtf8(m_form.Caption()));
    auto* top = new QVBoxLayout(this);

    // Send date: year, month, day, hour, minute.
    auto* dateRow = new QHBoxLayout;
    auto* dateLabel = new QLabel(QStringLiteral("送付日(&D)"), this);
    dateRow->addWidget(dateLabel);
    m_year = new QSpinBox(this);
    m_year->setRange(kDMYearMin, kDMYearMax);
    m_year->setValue(std::clamp(m_form.year, kDMYearMin, kDMYearMax));
    m_year->setAccessibleName(QStringLiteral("送付日：年"));
    dateLabel->setBuddy(m_year);
    m_month = ListCombo(DMMonthTexts(), QStringLiteral("送付日：月"), this);
    m_day = new QComboBox(this);
    m_day->setAccessibleName(QStringLiteral("送付日：日"));
    m_hour = ListCombo(DMHourTexts(), QStringLiteral("送付日：時"), this);
    m_minute = ListCombo(DMMinuteTexts(), QStringLiteral("送付日：分"), this);
    for (QWidget* w : std::initializer_list<QWidget*>{m_year, m_month, m_day, m_hour, m_minute}) SetImeMode(w, false);
    const std::pair<QWidget*, const char*> parts[] = {
        {m_year, "年"}, {m_month, "月"}, {m_day, "日"}, {m_hour, "時"}, {m_minute, "分"}};
    for (auto [w, text] : parts) {
        dateRow->addWidget(w);
        dateRow->addWidget(new QLabel(QString::fromUtf8(text), this));
    }
    dateRow->addStretch();
    top->addLayout(dateRow);

    auto* grid = new QGridLayout;
    top->addLayout(grid);
    m_title = new QLineEdit(Q(m_form.title), this);
    m_title->setAccessibleName(QStringLiteral("DMタイトル"));
    BindSjisField(m_title, kDMTitleLimit);
    Row(grid, 0, QStringLiteral("DMタイトル(&T)"), m_title);
    m_content = new CChoiceComboBox(this);
    m_content->Fill(installDir, kListDMType);
    m_content->SetText(m_form.content);
    m_content->setAccessibleName(QStringLiteral("内容"));
    Row(grid, 1, QStringLiteral("内容(&C)"), m_content);
    m_manager = new CChoiceComboBox(this);
    m_manager->Fill(installDir, kListTantou);
    m_manager->SetText(m_form.manager);
    m_manager->setAccessibleName(QStringLiteral("管理者"));
    Row(grid, 2, QStringLiteral("管理者(&M)"), m_manager);
    for (QWidget* w : std::initializer_list<QWidget*>{m_title, m_content, m_manager}) SetImeMode(w, true);

    auto* stateBox = new QGroupBox(QStringLiteral("送付状態"), this);
    auto* stateLay = new QHBoxLayout(stateBox);
    m_unsent = new QRadioButton(QStringLiteral("未送付(&U)"), stateBox);
    m_sent = new QRadioButton(QStringLiteral("送付済み(&S)"), stateBox);
    m_unsent->setAccessibleName(QStringLiteral("送付状態：未送付"));
    m_sent->setAccessibleName(QStringLiteral("送付状態：送付済み"));
    stateLay->addWidget(m_unsent);
    stateLay->addWidget(m_sent);
    m_history = new QCheckBox(QStringLiteral("送付履歴を登録済み(&H)"), stateBox);
    m_history->setAccessibleName(QStringLiteral("送付状態：送付履歴を登録済み"));
    stateLay->addWidget(m_history);
    top->addWidget(stateBox);
    auto* stateGroup = new QButtonGroup(this);
    stateGroup->addButton(m_unsent);
    stateGroup->addButton(m_sent);

    auto* methodBox = new QGroupBox(QStringLiteral("送付方法"), this);
    auto* methodLay = new QHBoxLayout(methodBox);
    m_printed = new QRadioButton(QStringLiteral("DM印刷(&P)"), methodBox);
    m_mailed = new QRadioButton(QStringLiteral("メール送信(&E)"), methodBox);
    m_printed->setAccessibleName(QStringLiteral("送付方法：DM印刷"));
    m_mailed->setAccessibleName(QStringLiteral("送付方法：メール送信"));
    methodLay->addWidget(m_printed);
    methodLay->addWidget(m_mailed);
    top->addWidget(methodBox);
    auto* methodGroup = new QButtonGroup(this);
    methodGroup->addButton(m_printed);
    methodGroup->addButton(m_mailed);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_ok->setDefault(true);
    m_ok->setAccessibleName(QStringLiteral("OK"));
    cancel->setAccessibleName(QStringLiteral("キャンセル"));
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &CDMTitleDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Initial state.
    m_month->setCurrentIndex(std::clamp(m_form.monthIndex, 0, 11));
    FillDays();
    m_hour->setCurrentIndex(std::clamp(m_form.hourIndex, 0, 23));
    m_minute->setCurrentIndex(std::clamp(m_form.minuteIndex, 0, 59));
    (m_form.sendState == 1 ? m_sent : m_unsent)->setChecked(true);
    (m_form.sendMethod == 1 ? m_mailed : m_printed)->setChecked(true);
    m_history->setChecked(m_form.historyRegistered == 1);
    m_sent->setEnabled(m_form.sentOnOpening);
    m_history->setEnabled(m_form.sentOnOpening);
    m_ok->setEnabled(m_form.OkEnabled());

    connect(m_year, &QSpinBox::valueChanged, this, [this](int y) {
        m_form.year = y;
        FillDays();
    });
    connect(m_month, &QComboBox::activated, this, [this](int index) {
        m_form.monthIndex = index;
        m_form.dayIndex = m_day->currentIndex();
        if (!m_form.MonthChosen()) {
            m_month->setFocus();
            return;
        }
        FillDays();
    });
    m_title->setFocus();
}

void CDMTitleDlg::FillDays() {
    int keep = m_day->count() ? m_day->currentIndex() : m_form.dayIndex;
    m_form.year = m_year->value();
    m_form.monthIndex = m_month->currentIndex();
    m_day->clear();
    for (const auto& d : DMDayTexts(m_form.year, m_form.monthIndex + 1)) m_day->addItem(Q(d));
    m_day->setCurrentIndex(std::clamp(keep, 0, m_day->count() - 1));
}

void CDMTitleDlg::Collect() {
    m_form.year = m_year->value();
    m_form.monthIndex = m_month->currentIndex();
    m_form.dayIndex = m_day->currentIndex();
    m_form.hourIndex = m_hour->currentIndex();
    m_form.minuteIndex = m_minute->currentIndex();
    m_form.title = m_title->text().toStdString();
    m_form.content = m_content->Text();
    m_form.manager = m_manager->Text();
    m_form.sendState = m_sent->isChecked() ? 1 : 0;
    m_form.sendMethod = m_mailed->isChecked() ? 1 : 0;
    m_form.historyRegistered = m_history->isChecked() ? 1 : 0;
}

void CDMTitleDlg::accept() {
    if (!m_form.OkEnabled()) return;
    Collect();
    if (!m_form.Validate()) {
        m_title->setFocus();
        return;
    }
    m_content->RegisterCurrentText();
    m_manager->RegisterCurrentText();
    QDialog::accept();
}

bool RunDMTitleDialog(QWidget* parent, const std::string& installDir, CDMTitleForm& form) {
    CDMTitleDlg dlg(installDir, form, parent);
    if (dlg.exec() != QDialog::Accepted) return false;
    form = dlg.Form();
    return true;
}
