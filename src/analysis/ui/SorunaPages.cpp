#include "analysis/ui/SorunaPages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/MilvaneDoc.h"
#include "common/ui/ValueLabel.h"
#include "customers/ComboData.h"
#include "customers/ui/ChoiceComboBox.h"

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QLabel* Caption(const char* text, QWidget* parent) {
    auto* label = new QLabel(U(text), parent);
    label->setWordWrap(true);
    return label;
}

// A row of widgets and texts, left-aligned.
QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* w : widgets) row->addWidget(w);
    row->addStretch();
    return row;
}

QWidget* Text(const char* text, QWidget* parent) { return new QLabel(U(text), parent); }

QHBoxLayout* TitleRow(CChoiceComboBox* combo, QWidget* parent) {
    auto* label = new QLabel(U("履歴概要"), parent);
    label->setBuddy(combo);
    combo->setMinimumWidth(220);
    return Row({label, combo});
}

}  // namespace

// ---------------------------------------------------------------- base

CSorunaPageWidget::CSorunaPageWidget(int page, QWidget* parent) : QWidget(parent), m_page(page) {
    setObjectName(QStringLiteral("page%1").arg(kSorunaPageDialogs[page - 1]));
    setAccessibleName(U(kSorunaPageLabels[page - 1]));
    setAutoFillBackground(true);
}

void CSorunaPageWidget::FocusField(QWidget* field) {
    if (!field) return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(field)) e->selectAll();
    if (auto* s = qobject_cast<QSpinBox*>(field)) s->selectAll();
    if (auto* c = qobject_cast<QComboBox*>(field); c && c->lineEdit()) c->lineEdit()->selectAll();
}

QButtonGroup* CSorunaPageWidget::Options(const std::vector<QRadioButton*>& radios,
                                         const std::vector<std::vector<QWidget*>>& fields, int initial) {
    auto* group = new QButtonGroup(this);
    for (size_t i = 0; i < radios.size(); ++i) group->addButton(radios[i], int(i));
    auto apply = [fields](int chosen) {
        for (size_t i = 0; i < fields.size(); ++i)
            for (QWidget* w : fields[i]) w->setEnabled(int(i) == chosen);
    };
    if (initial >= 0) radios[size_t(initial)]->setChecked(true);
    apply(initial);
    connect(group, &QButtonGroup::idClicked, this, [apply, fields](int id) {
        apply(id);
        if (size_t(id) < fields.size() && !fields[size_t(id)].empty()) FocusField(fields[size_t(id)].front());
    });
    return group;
}

int CSorunaPageWidget::Chosen(QButtonGroup* group) const { return group->checkedId(); }

CChoiceComboBox* CSorunaPageWidget::TitleCombo(CMilvaneDoc* doc, int id, const QString& name) {
    auto* combo = new CChoiceComboBox(this);
    combo->Fill(doc ? doc->InstallDir() : std::string(), kListRirekiType, false);
    combo->setCurrentIndex(-1);
    combo->SetText("");
    combo->setObjectName(QStringLiteral("ctl%1").arg(id));
    combo->setAccessibleName(name);
    return combo;
}

QSpinBox* CSorunaPageWidget::Number(int id, int value, const QString& name) {
    auto* spin = new QSpinBox(this);
    spin->setRange(-99999, 99999);
    spin->setValue(value);
    spin->setObjectName(QStringLiteral("ctl%1").arg(id));
    spin->setAccessibleName(name);
    spin->setMinimumWidth(70);
    return spin;
}

QLineEdit* CSorunaPageWidget::DateEdit(int id, const QString& name) {
    auto* edit = new QLineEdit(this);
    edit->setPlaceholderText(QStringLiteral("yyyy/mm/dd"));
    edit->setMaxLength(10);
    edit->setObjectName(QStringLiteral("ctl%1").arg(id));
    edit->setAccessibleName(name);
    edit->setFixedWidth(100);
    return edit;
}

QRadioButton* CSorunaPageWidget::Radio(int id, const QString& text, const QString& name) {
    auto* radio = new QRadioButton(text, this);
    radio->setObjectName(QStringLiteral("ctl%1").arg(id));
    if (!name.isEmpty()) radio->setAccessibleName(name);
    return radio;
}

namespace {

// Pages 1-3 and 6: a caption over the history summary to analyse, and on
// pages 1 and 6 a period box below the options.
class CTitledPage : public CSorunaPageWidget {
protected:
    CTitledPage(int page, CMilvaneDoc* doc, const char* caption, QWidget* parent)
        : CSorunaPageWidget(page, parent), m_layout(new QVBoxLayout(this)) {
        m_layout->addWidget(Caption(caption, this));
        m_title = TitleCombo(doc, 1277, U("履歴概要"));
        m_layout->addLayout(TitleRow(m_title, this));
    }

    void AddPeriod(int offId, int onId, int startId, int endId) {
        auto* box = new QGroupBox(U("期間"), this);
        QRadioButton* off = Radio(offId, U("指定しない"));
        QRadioButton* on = Radio(onId, U("指定する"));
        m_start = DateEdit(startId, U("期間：開始日"));
        m_end = DateEdit(endId, U("期間：終了日"));
        auto* tilde = new QLabel(U("～"), box);
        auto* layout = new QVBoxLayout(box);
        layout->addLayout(Row({off}));
        layout->addLayout(Row({on, m_start, tilde, m_end}));
        m_period = Options({off, on}, {{}, {m_start, m_end}}, 0);
        m_layout->addWidget(box);
    }
    CPeriodFields Period() const { return {Chosen(m_period) == 1, S(m_start->text()), S(m_end->text())}; }
    void FocusPeriod(SorunaFocus focus) {
        if (focus == SorunaFocus::PeriodStart) FocusField(m_start);
        if (focus == SorunaFocus::PeriodEnd) FocusField(m_end);
    }

    QVBoxLayout* m_layout;
    CChoiceComboBox* m_title;

private:
    QButtonGroup* m_period = nullptr;
    QLineEdit* m_start = nullptr;
    QLineEdit* m_end = nullptr;
};

// ---------------------------------------------------------------- page 1

class CFrequencyPage : public CTitledPage {
public:
    CFrequencyPage(CMilvaneDoc* doc, QWidget* parent)
        : CTitledPage(1, doc, "指定した履歴概要が多く登録されている顧客を調べます", parent) {
        QRadioButton* r1 = Radio(1278, QString(), U("回以上ある顧客"));
        QRadioButton* r2 = Radio(1192, U("    多い順に TOP "));
        QRadioButton* r3 = Radio(1281, U("    多い順に顧客を表示"));
        m_count = Number(1279, 1, U("回数"));
        m_top = Number(1280, 10, U("TOP件数"));
        m_layout->addLayout(Row({r1, m_count, Text("回以上ある顧客", this)}));
        m_layout->addLayout(Row({r2, m_top, Text("人をリストアップ", this)}));
        m_layout->addLayout(Row({r3}));
        m_option = Options({r1, r2, r3}, {{m_count}, {m_top}, {}}, 0);
        AddPeriod(1282, 1283, 1284, 1285);
        m_layout->addStretch();
    }
    SorunaOutcome Run(CSorunaSheetLogic& logic) override {
        CSorunaPage1 page;
        page.title = m_title->Text();
        page.option = Chosen(m_option);
        page.count = m_count->value();
        page.top = m_top->value();
        page.period = Period();
        SorunaFocus focus = SorunaFocus::None;
        const SorunaOutcome out = logic.RunPage1(page, &focus);
        FocusPeriod(focus);
        return out;
    }

private:
    QSpinBox* m_count;
    QSpinBox* m_top;
    QButtonGroup* m_option;
};

// ---------------------------------------------------------------- page 2

class CRecencyPage : public CTitledPage {
public:
    CRecencyPage(CMilvaneDoc* doc, QWidget* parent)
        : CTitledPage(2, doc, "指定した履歴概要の登録が新しい顧客を調べます", parent) {
        QRadioButton* r1 = Radio(1296, QString(), U("以降の顧客"));
        QRadioButton* r2 = Radio(1192, U("新しい順にTOP"));
        QRadioButton* r3 = Radio(1281, U("新しい順に顧客を表示"));
        m_date = DateEdit(1297, U("日付"));
        m_top = Number(1280, 10, U("TOP件数"));
        m_layout->addLayout(Row({r1, m_date, Text("以降の顧客", this)}));
        m_layout->addLayout(Row({r2, m_top}));
        m_layout->addLayout(Row({r3}));
        m_option = Options({r1, r2, r3}, {{m_date}, {m_top}, {}}, 0);
        m_layout->addStretch();
    }
    SorunaOutcome Run(CSorunaSheetLogic& logic) override {
        CSorunaPage2 page;
        page.title = m_title->Text();
        page.option = Chosen(m_option);
        page.date = S(m_date->text());
        page.top = m_top->value();
        return logic.RunPage2(page);
    }

private:
    QLineEdit* m_date;
    QSpinBox* m_top;
    QButtonGroup* m_option;
};

// ---------------------------------------------------------------- page 3

class CElapsedPage : public CTitledPage {
public:
    CElapsedPage(CMilvaneDoc* doc, QWidget* parent)
        : CTitledPage(3, doc, "指定した履歴概要を最後に登録した日からの経過日数が長い顧客を調べます", parent) {
        QRadioButton* r1 = Radio(1300, QString(), U("日以上経過した顧客"));
        QRadioButton* r2 = Radio(1192, QString(), U("ヶ月以上経過した顧客"));
        QRadioButton* r3 = Radio(1301, QString(), U("年以上経過した顧客"));
        QRadioButton* r4 = Radio(1305, U("経過日数の長い順にTOP"));
        QRadioButton* r5 = Radio(1281, U("経過日数の長い順に顧客を表示"));
        m_days = Number(1302, 1, U("経過日数"));
        m_months = Number(1303, 1, U("経過月数"));
        m_years = Number(1304, 1, U("経過年数"));
        m_top = Number(1280, 10, U("TOP件数"));
        m_layout->addLayout(Row({r1, m_days, Text("日以上経過した顧客", this)}));
        m_layout->addLayout(Row({r2, m_months, Text("ヶ月以上経過した顧客 （※1ヶ月を30日で計算します）", this)}));
        m_layout->addLayout(Row({r3, m_years, Text("年以上経過した顧客 （※1年を365日で計算します）", this)}));
        m_layout->addLayout(Row({r4, m_top}));
        m_layout->addLayout(Row({r5}));
        m_option = Options({r1, r2, r3, r4, r5}, {{m_days}, {m_months}, {m_years}, {m_top}, {}}, 0);
        m_layout->addStretch();
    }
    SorunaOutcome Run(CSorunaSheetLogic& logic) override {
        CSorunaPage3 page;
        page.title = m_title->Text();
        page.option = Chosen(m_option);
        page.days = m_days->value();
        page.months = m_months->value();
        page.years = m_years->value();
        page.top = m_top->value();
        return logic.RunPage3(page, CDateTime::Now());
    }

private:
    QSpinBox *m_days, *m_months, *m_years, *m_top;
    QButtonGroup* m_option;
};

// ---------------------------------------------------------------- page 4

class CDMHitPage : public CSorunaPageWidget {
public:
    CDMHitPage(CMilvaneDoc* doc, QWidget* parent) : CSorunaPageWidget(4, parent) {
        auto* top = new QVBoxLayout(this);
        top->addWidget(Caption("発送済みDMタイトルを、以下の条件で分析します。", this));
        m_list = new QListWidget(this);
        m_list->setObjectName(QStringLiteral("ctl1197"));
        m_list->setAccessibleName(U("発送済みDMタイトル"));
        m_list->setMinimumHeight(90);
        top->addWidget(m_list);

        auto* box = new QGroupBox(U("期間の設定（最大 5 年以内を指定できます）"), this);
        auto* boxLayout = new QVBoxLayout(box);
        QRadioButton* r[5] = {Radio(1198, QString(), U("日以内に")), Radio(1192, QString(), U("週間以内に")),
                              Radio(1199, QString(), U("ヶ月以内に")), Radio(1207, QString(), U("年以内に")),
                              Radio(1200, U("指定なし"))};
        m_days = Number(1002, 1, U("日以内に"));
        m_weeks = Number(1007, 1, U("週間以内に"));
        m_months = Number(1008, 1, U("ヶ月以内に"));
        m_years = Number(1011, 1, U("年以内に"));
        auto* grid = new QGridLayout;
        const std::pair<QSpinBox*, const char*> spans[] = {
            {m_days, "日以内に"}, {m_weeks, "週間以内に"}, {m_months, "ヶ月以内に"}, {m_years, "年以内に"}};
        for (int i = 0; i < 4; ++i) {
            r[i]->setParent(box);
            spans[i].first->setParent(box);
            grid->addWidget(r[i], i / 2, (i % 2) * 3);
            grid->addWidget(spans[i].first, i / 2, (i % 2) * 3 + 1);
            grid->addWidget(new QLabel(U(spans[i].second), box), i / 2, (i % 2) * 3 + 2);
        }
        r[4]->setParent(box);
        grid->addWidget(r[4], 2, 0, 1, 3);
        grid->setColumnStretch(6, 1);
        boxLayout->addLayout(grid);
        boxLayout->addWidget(new QLabel(U("※1ヶ月は30日、1年は365日として計算します。"), box));
        top->addWidget(box);
        m_option = Options({r[0], r[1], r[2], r[3], r[4]}, {{m_days}, {m_weeks}, {m_months}, {m_years}, {}}, 4);

        QRadioButton* byTitle = Radio(1276, QString(), U("が登録されている顧客"));
        QRadioButton* any = Radio(1275, U("指定しない （ 履歴に何かが登録されている顧客 ）"));
        m_title = TitleCombo(doc, 1009, U("履歴概要"));
        m_title->setMinimumWidth(200);
        top->addLayout(Row({byTitle, m_title, Text("が登録されている顧客", this)}));
        top->addLayout(Row({any}));
        m_history = Options({byTitle, any}, {{m_title}, {}}, 0);
        top->addStretch();

        if (doc && LoadSentDMTitles(*doc, m_titles)) {
            int select = -1;
            for (size_t i = 0; i < m_titles.size(); ++i) {
                m_list->addItem(Q(m_titles[i].text));
                if (m_titles[i].key == doc->AnalysisDMKey) select = int(i);
            }
            if (select >= 0) m_list->setCurrentRow(select);
        }
        if (m_titles.empty()) {
            m_list->addItem(U(kNoSentDM));
            m_list->setEnabled(false);
        }
    }
    SorunaOutcome Run(CSorunaSheetLogic& logic) override {
        CSorunaPage4 page;
        const QList<QListWidgetItem*> chosen = m_list->selectedItems();
        const int row = chosen.isEmpty() ? -1 : m_list->row(chosen.front());
        if (row >= 0 && row < int(m_titles.size())) page.dmKey = m_titles[size_t(row)].key;
        page.placeholder = row >= 0 && m_titles.empty();
        page.option = Chosen(m_option);
        page.days = m_days->value();
        page.weeks = m_weeks->value();
        page.months = m_months->value();
        page.years = m_years->value();
        page.byTitle = Chosen(m_history) == 0;
        page.title = m_title->Text();
        return logic.RunPage4(page);
    }

private:
    QListWidget* m_list;
    std::vector<CSentDMTitle> m_titles;
    QSpinBox *m_days, *m_weeks, *m_months, *m_years;
    QButtonGroup* m_option;
    QButtonGroup* m_history;
    CChoiceComboBox* m_title;
};

// ---------------------------------------------------------------- page 6

class CAmountPage : public CTitledPage {
public:
    CAmountPage(CMilvaneDoc* doc, QWidget* parent)
        : CTitledPage(6, doc, "履歴に登録してある金額を集計して、該当する顧客をリストアップします。", parent) {
        const std::pair<int, const char*> measures[] = {{1310, "合計金額が"}, {1311, "最高金額が"}, {1309, "平均金額が"}};
        const int fields[] = {1312, 1313, 1314};
        std::vector<QRadioButton*> radios;
        for (int i = 0; i < 3; ++i) {
            radios.push_back(Radio(measures[i].first, U(measures[i].second)));
            m_values[i] = new QLineEdit(QStringLiteral("0"), this);
            m_values[i]->setObjectName(QStringLiteral("ctl%1").arg(fields[i]));
            m_values[i]->setAccessibleName(U(measures[i].second));
            m_values[i]->setFixedWidth(140);
            m_values[i]->setMaxLength(20);
            m_layout->addLayout(Row({radios.back(), m_values[i], Text("以上", this)}));
        }
        m_measure = Options(radios, {{m_values[0]}, {m_values[1]}, {m_values[2]}}, 0);
        AddPeriod(1192, 1306, 1307, 1285);
        m_layout->addStretch();
    }
    SorunaOutcome Run(CSorunaSheetLogic& logic) override {
        CSorunaPage6 page;
        page.title = m_title->Text();
        page.measure = Chosen(m_measure);
        for (int i = 0; i < 3; ++i) page.thresholds[i] = S(m_values[i]->text());
        page.period = Period();
        SorunaFocus focus = SorunaFocus::None;
        const SorunaOutcome out = logic.RunPage6(page, &focus);
        FocusPeriod(focus);
        return out;
    }

private:
    QLineEdit* m_values[3];
    QButtonGroup* m_measure;
};

// ---------------------------------------------------------------- page 7

class CPartnerPage : public CSorunaPageWidget {
public:
    explicit CPartnerPage(QWidget* parent) : CSorunaPageWidget(7, parent) {
        auto* top = new QVBoxLayout(this);
        top->addWidget(Caption("主要取引先や取引銀行に登録されている情報を検索します。\n"
                               "気になる企業名などを入力してください。それらが登録されている顧客をすべて表示します。",
                               this));
        m_name = new QLineEdit(this);
        m_name->setObjectName(QStringLiteral("ctl1313"));
        m_name->setAccessibleName(U("名前"));
        m_add = new QPushButton(U("リストに追加 ↓"), this);
        m_add->setObjectName(QStringLiteral("ctl1315"));
        m_add->setAutoDefault(false);
        top->addLayout(Row({m_name, m_add}));
        m_list = new QListWidget(this);
        m_list->setObjectName(QStringLiteral("ctl1007"));
        m_list->setAccessibleName(U("検索する名前"));
        top->addWidget(m_list);
        m_remove = new QPushButton(U("リストから削除"), this);
        m_remove->setObjectName(QStringLiteral("ctl1316"));
        m_remove->setAutoDefault(false);
        top->addLayout(Row({m_remove, Text("※ 5 個まで同時に検索できます", this)}));
        connect(m_add, &QPushButton::clicked, this, [this] { Add(); });
        connect(m_name, &QLineEdit::returnPressed, this, [this] { Add(); });
        connect(m_remove, &QPushButton::clicked, this, [this] {
            if (!m_names.Remove(m_list->currentRow())) return;
            delete m_list->takeItem(m_list->currentRow());
            m_add->setEnabled(true);
        });
    }
    SorunaOutcome Run(CSorunaSheetLogic& logic) override { return logic.RunPage7(m_names.Names()); }

private:
    void Add() {
        if (m_names.Add(S(m_name->text())) == CNameList::Added::Yes) {
            m_list->addItem(m_name->text());
            if (m_names.Full()) m_add->setEnabled(false);
        }
        FocusField(m_name);
    }

    QLineEdit* m_name;
    QPushButton* m_add;
    QPushButton* m_remove;
    QListWidget* m_list;
    CNameList m_names;
};

}  // namespace

// ---------------------------------------------------------------- page 5

CSorunaAreaPage::CSorunaAreaPage(CMilvaneDoc*, IAddressLevels* levels, QWidget* parent)
    : CSorunaPageWidget(5, parent), m_source(levels ? levels : &m_none) {
    auto* top = new QVBoxLayout(this);
    top->addWidget(Caption("郵便番号・住所から顧客を抽出します。\n(住所等が正確に登録されていないと抽出できない場合があります)",
                           this));
    auto* lists = new QGridLayout;
    const char* const headings[] = {"都道府県", "市区町村", "町名", "建物等"};
    for (int i = 0; i < 4; ++i) {
        m_levels[i] = new QListWidget(this);
        m_levels[i]->setObjectName(QStringLiteral("ctl%1").arg(1042 + i));
        m_levels[i]->setAccessibleName(U(headings[i]));
        m_levels[i]->setMinimumSize(130, 110);
        m_levels[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        auto* label = new QLabel(U(headings[i]), this);
        label->setBuddy(m_levels[i]);
        lists->addWidget(label, 0, i);
        lists->addWidget(m_levels[i], 1, i);
        connect(m_levels[i], &QListWidget::currentRowChanged, this, [this, i](int) { LevelChosen(i); });
    }
    top->addLayout(lists);
    m_zip = new CValueLabel(U("〒"), this, U("〒"));
    m_zip->setObjectName(QStringLiteral("ctl1250"));
    m_add = new QPushButton(U("追加↓"), this);
    m_add->setObjectName(QStringLiteral("ctl1251"));
    m_remove = new QPushButton(U("はずす"), this);
    m_remove->setObjectName(QStringLiteral("ctl1252"));
    for (QPushButton* b : {m_add, m_remove}) b->setAutoDefault(false);
    top->addLayout(Row({m_zip, m_add, m_remove}));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ctl1253"));
    m_list->setAccessibleName(U("抽出する住所"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({U("〒"), U("都道府県"), U("市区町村"), U("町名"), U("建物等")});
    m_list->setMinimumHeight(100);
    m_list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    top->addWidget(m_list);
    m_customers = Radio(1254, U("顧客リストから抽出して表示する"));
    m_phone = Radio(1255, U("電話帳から抽出して表示する"));
    Options({m_customers, m_phone}, {{}, {}}, 0);
    top->addLayout(Row({m_customers}));
    top->addLayout(Row({m_phone}));
    connect(m_add, &QPushButton::clicked, this, [this] { Add(); });
    connect(m_remove, &QPushButton::clicked, this, [this] { RemoveSelected(); });
}

void CSorunaAreaPage::Shown() {
    for (int i = 0; i < 4; ++i) {
        QSignalBlocker block(m_levels[i]);
        m_levels[i]->clear();
        m_entries[i].clear();
    }
    m_zipText.clear();
    m_zip->SetValue(U("〒"));
    if (m_source->Ready()) Fill(0);
}

void CSorunaAreaPage::Fill(int level) {
    std::vector<std::string> parents;
    for (int i = 0; i < level; ++i) {
        const int row = m_levels[i]->currentRow();
        if (row < 0) return;
        parents.push_back(m_entries[i][size_t(row)].text);
    }
    m_entries[level] = m_source->Entries(level, parents);
    QSignalBlocker block(m_levels[level]);
    m_levels[level]->clear();
    for (const auto& e : m_entries[level]) m_levels[level]->addItem(Q(e.text));
    m_levels[level]->setCurrentRow(-1);
}

void CSorunaAreaPage::LevelChosen(int level) {
    for (int i = level + 1; i < 4; ++i) {
        QSignalBlocker block(m_levels[i]);
        m_levels[i]->clear();
        m_entries[i].clear();
    }
    if (level < 3) Fill(level + 1);
    m_zipText.clear();
    for (int i = 0; i < 4; ++i) {
        const int row = m_levels[i]->currentRow();
        if (row < 0) break;
        if (!m_entries[i][size_t(row)].zip.empty()) m_zipText = m_entries[i][size_t(row)].zip;
    }
    m_zip->SetValue(U("〒") + Q(m_zipText));
}

void CSorunaAreaPage::Add() {
    CAreaAddress a;
    a.zip = m_zipText;
    std::string* parts[] = {&a.prefecture, &a.city, &a.town, &a.rest};
    for (int i = 0; i < 4; ++i) {
        const int row = m_levels[i]->currentRow();
        if (row < 0) break;
        *parts[i] = m_entries[i][size_t(row)].text;
    }
    if (m_addresses.Add(m_levels[0]->currentRow() >= 0, a)) ShowAddresses();
}

void CSorunaAreaPage::RemoveSelected() {
    const QModelIndex index = m_list->currentIndex();
    if (!index.isValid()) return;
    m_addresses.Remove(index.row());
    ShowAddresses();
}

void CSorunaAreaPage::ShowAddresses() {
    m_list->clear();
    for (const CAreaAddress& a : m_addresses.Rows())
        m_list->addTopLevelItem(
            new QTreeWidgetItem(QStringList{Q(a.zip), Q(a.prefecture), Q(a.city), Q(a.town), Q(a.rest)}));
}

SorunaOutcome CSorunaAreaPage::Run(CSorunaSheetLogic& logic) {
    return m_phone->isChecked() ? logic.RunPage5Phone(m_addresses.Rows()) : logic.RunPage5(m_addresses.Rows());
}

CSorunaPageWidget* MakeSorunaPage(int page, CMilvaneDoc* doc, IAddressLevels* levels, QWidget* parent) {
    switch (page) {
    case 1: return new CFrequencyPage(doc, parent);
    case 2: return new CRecencyPage(doc, parent);
    case 3: return new CElapsedPage(doc, parent);
    case 4: return new CDMHitPage(doc, parent);
    case 5: return new CSorunaAreaPage(doc, levels, parent);
    case 6: return new CAmountPage(doc, parent);
    case 7: return new CPartnerPage(parent);
    default: return nullptr;
    }
}
