#include "history/ui/RirekiEntryDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "customers/ComboData.h"
#include "customers/ui/ChoiceComboBox.h"
#include "pictures/ui/PictureWnd.h"
#include "common/ui/ImeMode.h"
#include "common/ui/SjisFieldBinding.h"

namespace {

QString U(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

void FillTexts(QComboBox* c, const std::vector<std::string>& texts) {
    for (const auto& t : texts) c->addItem(U(t));
}

QComboBox* ChoiceCombo(const std::string& installDir, int listNo, bool readOnly, QWidget* parent) {
    if (installDir.empty()) {
        auto* c = new QComboBox(parent);
        c->setEditable(true);
        return c;
    }
    auto* c = new CChoiceComboBox(parent);
    c->Fill(installDir, listNo, !readOnly);
    return c;
}

std::string ComboText(QComboBox* c) {
    if (auto* choice = qobject_cast<CChoiceComboBox*>(c)) return choice->Text();
    return S(c->currentText());
}

void SetComboText(QComboBox* c, const std::string& text) {
    if (auto* choice = qobject_cast<CChoiceComboBox*>(c)) {
        choice->SetText(text);
        return;
    }
    c->setEditText(U(text));
}

}  // namespace

CRirekiEntryDlg::CRirekiEntryDlg(HistoryDialogMode mode, IRirekiOwner* owner, int32_t customerKey,
                                 const CRirekiData* record, bool hasPrevious, bool hasNext,
                                 const std::string& installDir, const std::string& pictureFolder, QWidget* parent)
    : QDialog(parent), m_logic(mode, owner, customerKey, record, hasPrevious, hasNext) {
    using namespace RirekiCtl;
    const bool readOnly = m_logic.ReadOnly();
    setWindowTitle(U(m_logic.Title()));

    auto named = [](QWidget* w, const char* name, int id) {
        w->setAccessibleName(QString::fromUtf8(name));
        w->setObjectName(QStringLiteral("ctl%1").arg(id));
        return w;
    };
    m_year = new QSpinBox(this);
    m_year->setRange(100, 9999);
    named(m_year, "日付：年", Year);
    m_month = new QComboBox(this);
    FillTexts(m_month, RirekiMonthTexts());
    named(m_month, "日付：月", Month);
    m_day = new CDayComboBox(this);
    named(m_day, "日付：日", Day);
    m_day->beforePopup = [this] { RefillDays(false); };
    m_hour = new QComboBox(this);
    FillTexts(m_hour, RirekiHourTexts());
    named(m_hour, "日付：時", Hour);
    m_minute = new QComboBox(this);
    FillTexts(m_minute, RirekiMinuteTexts());
    named(m_minute, "日付：分", Minute);
    m_tantou = ChoiceCombo(installDir, kListTantou, readOnly, this);
    named(m_tantou, "担当者", Tantou);
    m_title = ChoiceCombo(installDir, kListRirekiType, readOnly, this);
    named(m_title, "概要", Title);
    m_keyword = ChoiceCombo(installDir, kListRirekiWord, readOnly, this);
    named(m_keyword, "検索ｷｰﾜｰﾄﾞ", Keyword);
    m_action = new QPlainTextEdit(this);
    m_action->setTabChangesFocus(true);
    named(m_action, "詳細", Action);
    m_money = new QLineEdit(this);
    named(m_money, "金額", Money);
    m_pictureName = new QLineEdit(this);
    m_pictureName->setReadOnly(true);
    named(m_pictureName, "画像", PictureName);
    for (QWidget* w : std::initializer_list<QWidget*>{m_year, m_month, m_day, m_hour, m_minute, m_money}) SetImeMode(w, false);
    for (QWidget* w : std::initializer_list<QWidget*>{m_tantou, m_title, m_keyword, m_action}) SetImeMode(w, true);
    const std::pair<QWidget*, int> limits[] = {{m_tantou, kRirekiTantouLimit}, {m_title, kRirekiActionTitleLimit},
                                               {m_keyword, kRirekiKeywordLimit}, {m_action, kRirekiActionLimit},
                                               {m_money, 0}};
    for (const auto& [w, limit] : limits) BindSjisField(w, limit);
    m_preview = new CPictureWnd(this);
    m_preview->SetFolder(pictureFolder);
    m_preview->setFixedSize(92, 99);
    named(m_preview, "画像", RirekiCtl::Preview);

    auto* top = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    top->addLayout(grid);
    int row = 0;
    auto label = [&](const char* text, QWidget* buddy) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setBuddy(buddy);
        return l;
    };
    auto* date = new QHBoxLayout;
    const std::pair<QWidget*, const char*> parts[] = {
        {m_year, "年"}, {m_month, "月"}, {m_day, "日"}, {m_hour, "時"}, {m_minute, "分"}};
    for (const auto& [w, unit] : parts) {
        date->addWidget(w);
        date->addWidget(label(unit, w));
    }
    date->addStretch();
    grid->addWidget(label("日付", m_year), row, 0);
    grid->addLayout(date, row++, 1);
    const std::pair<QWidget*, const char*> rows[] = {
        {m_tantou, "担当者"}, {m_title, "概要"}, {m_keyword, "検索ｷｰﾜｰﾄﾞ"}, {m_action, "詳細"}, {m_money, "金額"}};
    for (const auto& [w, text] : rows) {
        grid->addWidget(label(text, w), row, 0);
        grid->addWidget(w, row++, 1);
    }

    auto* buttons = new QHBoxLayout;
    auto makeButton = [&](int id, const std::string& text, QBoxLayout* into) {
        auto* b = new QPushButton(U(text), this);
        b->setObjectName(QStringLiteral("btn%1").arg(id));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
        m_buttons[id] = b;
        if (into) into->addWidget(b);
        return b;
    };
    auto* picture = new QHBoxLayout;
    auto* pictureButtons = new QVBoxLayout;
    makeButton(PictureAdd, "登録...", pictureButtons);
    makeButton(PictureRemove, "削除", pictureButtons);
    pictureButtons->addWidget(m_pictureName);
    pictureButtons->addStretch();
    picture->addLayout(pictureButtons);
    picture->addWidget(m_preview);
    picture->addStretch();
    grid->addWidget(label("画像", m_pictureName), row, 0);
    grid->addLayout(picture, row++, 1);

    QPushButton* ok = makeButton(Ok, m_logic.OkText(), buttons);
    ok->setDefault(true);
    makeButton(Previous, "前の履歴へ", buttons);
    makeButton(Next, "次の履歴へ", buttons);
    buttons->addStretch();
    makeButton(Close, m_logic.CloseText(), buttons);
    m_cancel = makeButton(Cancel, "ｷｬﾝｾﾙ", nullptr);
    m_cancel->hide();
    top->addLayout(buttons);

    m_logic.Attach(this);

    const bool nav = m_logic.NavigationVisible();
    Button(Previous)->setVisible(nav);
    Button(Next)->setVisible(nav);
    if (readOnly) {
        ok->hide();
        ok->setEnabled(false);
        ok->setDefault(false);
        Button(PictureAdd)->hide();
        Button(PictureAdd)->setEnabled(false);
        Button(PictureRemove)->hide();
        m_year->setReadOnly(true);
        m_year->setButtonSymbols(QAbstractSpinBox::NoButtons);
        m_action->setReadOnly(true);
        m_money->setReadOnly(true);
        for (QComboBox* c : {m_month, static_cast<QComboBox*>(m_day), m_hour, m_minute, m_tantou, m_title, m_keyword}) c->setEnabled(false);
        Button(Close)->setDefault(true);
        Button(Close)->setFocus();
    } else {
        m_year->setFocus();
    }
    UpdateButtons();
}

QWidget* CRirekiEntryDlg::Control(int id) const {
    using namespace RirekiCtl;
    switch (id) {
    case Year: return m_year;
    case Month: return m_month;
    case Day: return m_day;
    case Hour: return m_hour;
    case Minute: return m_minute;
    case Tantou: return m_tantou;
    case Title: return m_title;
    case Keyword: return m_keyword;
    case Action: return m_action;
    case Money: return m_money;
    case PictureName: return m_pictureName;
    case RirekiCtl::Preview: return m_preview;
    default: return Button(id);
    }
}

QPushButton* CRirekiEntryDlg::Button(int id) const {
    auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

void CRirekiEntryDlg::RefillDays(bool atStart) {
    const int previous = m_day->currentIndex();
    const QString previousText = m_day->currentText();
    const auto days = RirekiDayTexts(S(m_year->text()), m_month->currentIndex());
    QSignalBlocker block(m_day);
    m_day->clear();
    FillTexts(m_day, days);
    int index = -1;
    if (atStart) index = DayIndexAfterRefill(static_cast<int>(days.size()), previous, true);
    else index = m_day->findText(previousText);
    m_day->setCurrentIndex(index);
}

CRirekiFields CRirekiEntryDlg::ReadFields() {
    CRirekiFields f;
    f.tantou = ComboText(m_tantou);
    f.title = ComboText(m_title);
    f.keyword = ComboText(m_keyword);
    f.action = S(m_action->toPlainText());
    f.money = S(m_money->text());
    f.picture = S(m_pictureName->text());
    f.year = S(m_year->text());
    f.month = m_month->currentIndex();
    f.day = m_day->currentIndex();
    f.hour = m_hour->currentIndex();
    f.minute = m_minute->currentIndex();
    return f;
}

void CRirekiEntryDlg::WriteFields(const CRirekiFields& f) {
    SetComboText(m_tantou, f.tantou);
    SetComboText(m_title, f.title);
    SetComboText(m_keyword, f.keyword);
    m_action->setPlainText(U(f.action));
    m_money->setText(U(f.money));
    m_pictureName->setText(U(f.picture));
    m_preview->SetPicture(f.picture);
    bool ok = false;
    const int year = QString::fromStdString(f.year).toInt(&ok);
    if (ok) m_year->setValue(year);
    else m_year->clear();
    {
        QSignalBlocker block(m_month);
        m_month->setCurrentIndex(f.month);
    }
    // At start the day list keeps the index, clipped to the month.
    {
        QSignalBlocker block(m_day);
        m_day->clear();
        FillTexts(m_day, RirekiDayTexts(f.year, f.month));
        m_day->setCurrentIndex(f.day < 0 ? -1 : DayIndexAfterRefill(m_day->count(), f.day, true));
    }
    m_hour->setCurrentIndex(f.hour);
    m_minute->setCurrentIndex(f.minute);
    if (QPushButton* remove = Button(RirekiCtl::PictureRemove))
        remove->setEnabled(m_logic.PictureRemoveEnabled(f.picture));
    UpdateButtons();
}

void CRirekiEntryDlg::FocusControl(int id) {
    if (QWidget* w = Control(id)) w->setFocus();
}

void CRirekiEntryDlg::UpdateButtons() {
    using namespace RirekiCtl;
    for (int id : {Previous, Next}) {
        QPushButton* b = Button(id);
        if (!b) return;
        const bool enabled = id == Previous ? m_logic.PreviousEnabled() : m_logic.NextEnabled();
        if (!enabled && b->hasFocus()) Button(Close)->setFocus();
        b->setEnabled(enabled);
    }
}

void CRirekiEntryDlg::Finish(int code) {
    if (code != kRirekiStay) done(code);
}

void CRirekiEntryDlg::OnCommand(int id) {
    using namespace RirekiCtl;
    switch (id) {
    case Ok: Finish(m_logic.OnOk()); break;
    case Close: Finish(m_logic.OnClose()); break;
    case Cancel: done(kRirekiEndCancel); break;
    case Previous: m_logic.OnPrevious(); break;
    case Next: m_logic.OnNext(); break;
    case PictureAdd: m_logic.OnPickPicture(); break;
    case PictureRemove: m_logic.OnRemovePicture(); break;
    default: break;
    }
    UpdateButtons();
}

void CRirekiEntryDlg::reject() { done(kRirekiEndCancel); }

int RunRirekiEntryDialog(QWidget* parent, HistoryDialogMode mode, IRirekiOwner* owner, int32_t customerKey,
                         const CRirekiData* record, bool hasPrevious, bool hasNext, const std::string& installDir,
                         const std::string& pictureFolder, CRirekiData* result) {
    CRirekiEntryDlg dlg(mode, owner, customerKey, record, hasPrevious, hasNext, installDir, pictureFolder, parent);
    const int code = dlg.exec();
    if (result && code == kRirekiEndBulk) *result = dlg.Logic().Working();
    return code;
}
