#include "customers/ui/KokyakuEntryDlgControls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyledItemDelegate>

#include "common/KanaConvert.h"
#include "common/ui/ImeMode.h"
#include "common/ui/SjisFieldBinding.h"

// ---------------------------------------------------------------- reading

void CReadingLineEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString preedit = event->preeditString();
    const QString commit = event->commitString();
    // The reading is the composition as long as it is kana; once converted
    // (kanji in the pre-edit) the last kana form stays.
    if (!preedit.isEmpty() && IsKanaOnly(preedit.toStdString())) m_reading = preedit;
    QLineEdit::inputMethodEvent(event);
    if (!commit.isEmpty()) {
        QString reading = m_reading;
        if (reading.isEmpty() && IsKanaOnly(commit.toStdString())) reading = commit;
        m_reading.clear();
        if (!reading.isEmpty())
            emit readingCommitted(QString::fromStdString(ToHalfWidthKatakana(reading.toStdString())));
    } else if (preedit.isEmpty()) {
        m_reading.clear();  // composition cancelled
    }
}

void CHalfKanaLineEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent converted(event->preeditString(), event->attributes());
    converted.setCommitString(QString::fromStdString(ToHalfWidthKatakana(event->commitString().toStdString())),
                              event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&converted);
}

// ---------------------------------------------------------------- colours

namespace {

// Entries as tall as the font plus twice the frame edge, at least 15 pixels.
class CColorItemDelegate : public QStyledItemDelegate {
public:
    CColorItemDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), m_height(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(std::max(s.height(), m_height));
        return s;
    }

private:
    int m_height;
};

}  // namespace

CColorMarkCombo::CColorMarkCombo(QWidget* parent) : QComboBox(parent) {
    const int edge = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int h = std::max(15, fontMetrics().height() + 2 * edge);
    setItemDelegate(new CColorItemDelegate(h, this));
    const QSize swatch(h * 3 / 2, h - 4);
    setIconSize(swatch);
    for (const auto& c : ColorMarkEntries()) {
        QPixmap pm(swatch);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setPen(Qt::black);
        p.setBrush(QColor(c.color & 0xFF, (c.color >> 8) & 0xFF, (c.color >> 16) & 0xFF));
        p.drawRect(0, 0, swatch.width() - 1, swatch.height() - 1);
        p.end();
        addItem(QIcon(pm), QString::fromUtf8(c.name));
    }
}

// ---------------------------------------------------------------- labels

namespace {

struct LabelEntry {
    int id;
    const char* text;
    const char* freeField;  // field whose user label replaces the text
};

const LabelEntry kLabels[] = {
    {1058, "お客様ｺｰﾄﾞ", nullptr}, {1059, "氏名", nullptr}, {1060, "ﾌﾘｶﾞﾅ", nullptr}, {1065, "敬称", nullptr},
    {1360, "種別", nullptr}, {1361, "性別", nullptr}, {1068, "見込み客", nullptr}, {1109, "登録日", nullptr},
    {1121, "最終更新日", nullptr}, {1110, "生年月日", nullptr}, {1232, "自社担当者", nullptr},
    {1105, "カラー", nullptr}, {1106, "重要度", nullptr}, {1107, "ﾗﾝｷﾝｸﾞ１", "Ranking1"},
    {1108, "ﾗﾝｷﾝｸﾞ２", "Ranking2"}, {1328, "備考１", "Note1"},
    {1070, "〒", nullptr}, {1071, "都道府県", nullptr}, {1072, "市区町村", nullptr}, {1073, "番地等", nullptr},
    {1074, "TEL", nullptr}, {1075, "FAX", nullptr}, {1076, "携帯電話", nullptr}, {1090, "E-Mail1", nullptr},
    {1091, "E-Mail2", nullptr}, {1092, "E-Mail3", nullptr}, {1095, "URL", nullptr},
    {1078, "会社名", nullptr}, {1079, "ﾌﾘｶﾞﾅ", nullptr}, {1080, "部署", nullptr}, {1081, "役職", nullptr},
    {1084, "〒", nullptr}, {1085, "都道府県", nullptr}, {1086, "市区町村", nullptr}, {1087, "番地等", nullptr},
    {1088, "TEL", nullptr}, {1089, "FAX", nullptr}, {1077, "携帯電話", nullptr}, {1093, "E-Mail4", nullptr},
    {1094, "E-Mail5", nullptr}, {1096, "URL", nullptr},
    {1082, "代表者", nullptr}, {1231, "業種", nullptr}, {1230, "支払方法", nullptr}, {1184, "締日", nullptr},
    {1097, "決算月", nullptr}, {1098, "税の扱い", nullptr}, {1122, "主要取引銀行１", nullptr},
    {1182, "主要取引銀行２", nullptr}, {1100, "主要取引先１", nullptr}, {1101, "主要取引先２", nullptr},
    {1102, "主要取引先３", nullptr}, {1103, "主要取引先４", nullptr}, {1104, "主要取引先５", nullptr},
};

const char* const kNoteLabels[] = {"備考２", "備考３", "備考４", "備考５", "備考６",
                                   "備考７", "備考８", "備考９", "備考１０"};

// Fields whose input method stays off, with the hint that suits them.
Qt::InputMethodHints LatinHints(int id) {
    switch (id) {
    case 1058: return Qt::ImhLatinOnly | Qt::ImhNoPredictiveText;
    case 1070: case 1084: return Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText;
    case 1074: case 1075: case 1076: case 1077: case 1088: case 1089:
        return Qt::ImhDialableCharactersOnly | Qt::ImhNoPredictiveText;
    case 1090: case 1091: case 1092: case 1093: case 1094: return Qt::ImhEmailCharactersOnly | Qt::ImhNoPredictiveText;
    case 1095: case 1096: return Qt::ImhUrlCharactersOnly | Qt::ImhNoPredictiveText;
    case 1110: return Qt::ImhDate | Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText;
    default: return Qt::ImhNone;
    }
}

QComboBox* MakeList(QWidget* parent, const std::vector<std::string>& texts, bool editable) {
    auto* c = new QComboBox(parent);
    c->setEditable(editable);
    for (const auto& t : texts) c->addItem(QString::fromStdString(t));
    if (editable) c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

}  // namespace

int ChoiceListOfControl(int id) {
    switch (id) {
    case 1106: return 3;
    case 1107: return 4;
    case 1108: return 5;
    case 1230: return 6;
    case 1231: return 7;
    case 1232: return 8;
    default: return -1;
    }
}

QString EntryControlLabel(int id, const EntryLabelFn& labels) {
    if (id >= EntryCtl::Note2 && id < EntryCtl::Note2 + 9) {
        const std::string field = "Note" + std::to_string(id - EntryCtl::Note2 + 2);
        const std::string user = labels ? labels(field) : std::string();
        return QString::fromStdString(user.empty() ? kNoteLabels[id - EntryCtl::Note2] : user);
    }
    for (const auto& l : kLabels) {
        if (l.id != id) continue;
        if (l.freeField && labels) {
            const std::string user = labels(l.freeField);
            if (!user.empty()) return QString::fromStdString(user);
        }
        return QString::fromUtf8(l.text);
    }
    return {};
}

// ---------------------------------------------------------------- controls

CEntryControls::CEntryControls(const std::vector<EntryBinding>& bindings, EntryLabelFn labels, bool viewOnly,
                               QWidget* owner, ChoiceComboFactory choices)
    : QObject(owner),
      m_bindings(bindings),
      m_labels(std::move(labels)),
      m_choices(std::move(choices)),
      m_viewOnly(viewOnly),
      m_owner(owner) {
    for (const auto& b : m_bindings) {
        if (b.kind == ControlKind::Mail) {
            m_mailFirst = b.first;
            m_mailLast = b.last;
        }
    }
    m_mailGroup = new QButtonGroup(this);
    connect(m_mailGroup, &QButtonGroup::idClicked, this, [this](int n) { emit buttonClicked(EntryCtl::Mail - 1 + n); });
}

QWidget* CEntryControls::MakeControl(const EntryBinding& b) {
    QWidget* w = nullptr;
    switch (b.kind) {
    case ControlKind::Text:
    case ControlKind::Url:
    case ControlKind::Date:
    case ControlKind::ShownDate:
        if (b.id == 1065) {
            w = MakeList(m_owner, SuffixTexts(), true);
        } else if (b.id == 1071 || b.id == 1085) {
            w = MakeList(m_owner, PrefectureTexts(), true);
        } else if (const int list = ChoiceListOfControl(b.id); list >= 0) {
            w = m_choices ? m_choices(list, !m_viewOnly, m_owner) : MakeList(m_owner, {}, true);
        } else if (b.id == EntryCtl::Name || b.id == EntryCtl::CompName) {
            w = new CReadingLineEdit(m_owner);
        } else if (b.id == EntryCtl::Yomi || b.id == EntryCtl::CompYomi) {
            w = new CHalfKanaLineEdit(m_owner);
        } else {
            auto* e = new QLineEdit(m_owner);
            e->setReadOnly(b.kind == ControlKind::ShownDate);
            w = e;
        }
        break;
    case ControlKind::List:
        w = MakeList(m_owner, b.id == 1098 ? TaxMethodTexts() : b.id == 1361 ? SexTexts() : EntryTypeTexts(), false);
        break;
    case ControlKind::Month: w = MakeList(m_owner, ClosingMonthTexts(), false); break;
    case ControlKind::ClosingDay: w = MakeList(m_owner, ClosingDayTexts(), false); break;
    case ControlKind::Check: w = new QCheckBox(EntryControlLabel(b.id, m_labels), m_owner); break;
    case ControlKind::Color: w = new CColorMarkCombo(m_owner); break;
    case ControlKind::Mail: return nullptr;
    }
    w->setObjectName(QStringLiteral("ctl%1").arg(b.id));
    if (b.kind != ControlKind::Check) w->setMinimumWidth(b.limit >= 100 ? 220 : 150);
    // Input method: off on codes, numbers, addresses for mail and the web
    // and the birthday; on elsewhere.
    QWidget* editor = w;
    if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit()) editor = c->lineEdit();
    const Qt::InputMethodHints hints = LatinHints(b.id);
    if (hints != Qt::ImhNone) {
        editor->setInputMethodHints(hints);
        SetImeMode(editor, false);
    }
    if (m_viewOnly) {
        if (auto* e = qobject_cast<QLineEdit*>(editor)) e->setReadOnly(true);
    } else if (qobject_cast<QLineEdit*>(editor) && b.kind != ControlKind::ShownDate) {
        BindSjisField(w, b.limit);
    }
    m_controls[b.id] = w;
    return w;
}

void CEntryControls::AddExtras(int id, QGridLayout* grid, int row) {
    auto addButton = [&](int bid, const char* text, bool enabled, const QString& accessible) {
        auto* p = new QPushButton(QString::fromUtf8(text), m_owner);
        p->setObjectName(QStringLiteral("btn%1").arg(bid));
        p->setAutoDefault(false);
        p->setEnabled(enabled);
        p->setAccessibleName(accessible);
        connect(p, &QPushButton::clicked, this, [this, bid] { emit buttonClicked(bid); });
        m_buttons[bid] = p;
        grid->addWidget(p, row, 2);
    };
    const bool home = id < 1077;
    switch (id) {
    case 1070:
    case 1084:
        // Lookups fill fields, so a view-only page has them disabled.
        addButton(home ? 1329 : 1331, "〒検索", !m_viewOnly, home ? "自宅の郵便番号から住所を検索" : "会社の郵便番号から住所を検索");
        return;
    case 1074:
    case 1088:
        addButton(home ? 1330 : 1332, "電話帳", !m_viewOnly, home ? "自宅の電話番号から検索" : "会社の電話番号から検索");
        return;
    case 1095: addButton(1381, "開く", true, "URLを開く"); return;
    case 1096: addButton(1384, "開く", true, "会社のURLを開く"); return;
    default: break;
    }
    if (id >= 1090 && id <= 1094) {
        const int n = id - 1089;
        if (n < m_mailFirst || n > m_mailLast) return;
        auto* r = new QRadioButton(QString::fromUtf8("標準ﾒｰﾙ"), m_owner);
        r->setObjectName(QStringLiteral("ctl%1").arg(EntryCtl::Mail - 1 + n));
        r->setAccessibleName(QStringLiteral("E-Mail%1を標準ﾒｰﾙにする").arg(n));
        if (m_viewOnly) r->setEnabled(false);
        m_mailGroup->addButton(r, n);
        m_buttons[EntryCtl::Mail - 1 + n] = r;
        grid->addWidget(r, row, 2);
    }
}

QGroupBox* CEntryControls::BuildGroup(const QString& title, const std::vector<int>& ids) {
    auto* box = new QGroupBox(title, m_owner);
    auto* grid = new QGridLayout(box);
    grid->setColumnStretch(1, 1);
    int row = 0;
    for (int id : ids) {
        const EntryBinding* b = FindBinding(m_bindings, id);
        if (!b) continue;
        QWidget* w = MakeControl(*b);
        if (!w) continue;
        const QString label = EntryControlLabel(id, m_labels);
        m_labelTexts[id] = label;
        w->setAccessibleName(title.isEmpty() ? label : title + QStringLiteral("：") + label);
        if (b->kind == ControlKind::Check) {
            grid->addWidget(w, row, 1);
        } else {
            auto* l = new QLabel(label, m_owner);
            l->setBuddy(w);
            grid->addWidget(l, row, 0);
            grid->addWidget(w, row, 1);
        }
        AddExtras(id, grid, row);
        ++row;
    }
    grid->setRowStretch(row, 1);
    return box;
}

QWidget* CEntryControls::Control(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QAbstractButton* CEntryControls::Button(int id) const {
    auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

QString CEntryControls::LabelText(int id) const {
    auto it = m_labelTexts.find(id);
    return it == m_labelTexts.end() ? QString() : it->second;
}

int CEntryControls::MailChoice() const {
    const int n = m_mailGroup->checkedId();
    return n > 0 ? n : 0;
}

void CEntryControls::ClearMailButtons() {
    m_mailGroup->setExclusive(false);
    for (QAbstractButton* b : m_mailGroup->buttons()) b->setChecked(false);
    m_mailGroup->setExclusive(true);
}

ControlValues CEntryControls::Read() const {
    ControlValues v;
    for (const auto& b : m_bindings) {
        ControlState s;
        if (b.kind == ControlKind::Mail) {
            s.index = MailChoice();
            v[b.id] = s;
            continue;
        }
        QWidget* w = Control(b.id);
        if (!w) continue;
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            s.text = e->text().toStdString();
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            s.text = c->currentText().toStdString();
            s.index = c->isEditable() ? -1 : c->currentIndex();
        } else if (auto* k = qobject_cast<QCheckBox*>(w)) {
            s.checked = k->isChecked();
        }
        v[b.id] = s;
    }
    return v;
}

void CEntryControls::Write(const ControlValues& values) {
    for (const auto& b : m_bindings) {
        auto it = values.find(b.id);
        if (it == values.end()) continue;
        const ControlState& s = it->second;
        if (b.kind == ControlKind::Mail) {
            ClearMailButtons();
            if (QAbstractButton* r = m_mailGroup->button(s.index)) r->setChecked(true);
            continue;
        }
        QWidget* w = Control(b.id);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->setText(QString::fromStdString(s.text));
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            if (c->isEditable()) {
                c->setCurrentText(QString::fromStdString(s.text));
            } else if (b.kind == ControlKind::ClosingDay) {
                c->setCurrentIndex(c->findText(QString::fromStdString(s.text)));
            } else {
                c->setCurrentIndex(s.index);
            }
        } else if (auto* k = qobject_cast<QCheckBox*>(w)) {
            k->setChecked(s.checked);
        }
    }
}

void CEntryControls::Focus(int id) {
    QWidget* w = Control(id);
    if (!w && id == EntryCtl::Mail) w = m_mailGroup->buttons().value(0);
    if (!w) return;
    w->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
}

void CEntryControls::AppendText(int id, const QString& text) {
    QWidget* w = Control(id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(e->text() + text);
}
