#include "extract/ui/ExtractDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "app/MilvaneDoc.h"
#include "common/KanaConvert.h"
#include "common/ui/SjisFieldBinding.h"
#include "customers/ui/DialogParts.h"
#include "customers/ui/KokyakuEntryDlgControls.h"
#include "common/ui/ImeMode.h"

namespace {

QString RowName(int r) { return QStringLiteral("条件%1").arg(QChar('A' + r)); }

QComboBox* MakeCombo(const QString& name, QWidget* parent, int minWidth) {
    auto* c = new QComboBox(parent);
    c->setAccessibleName(name);
    c->setMinimumWidth(minWidth);
    c->setMaxVisibleItems(20);
    return c;
}

void SetItems(QComboBox* box, const QStringList& items) {
    QStringList current;
    for (int i = 0; i < box->count(); ++i) current << box->itemText(i);
    if (current == items) return;
    box->clear();
    box->addItems(items);
}

}  // namespace

// ---------------------------------------------------------------- value editor

void CExValueEdit::SetImeMode(ExImeMode mode) {
    switch (mode) {
    case ExImeMode::Off:
        setInputMethodHints(Qt::ImhNone);
        ::SetImeMode(this, false);
        m_halfKana = false;
        break;
    case ExImeMode::Hiragana:
    case ExImeMode::HalfKatakana:
        ::SetImeMode(this, true, mode == ExImeMode::HalfKatakana);
        m_halfKana = mode == ExImeMode::HalfKatakana;
        break;
    case ExImeMode::Unchanged: break;
    }
}

void CExValueEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!m_halfKana || event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent converted(event->preeditString(), event->attributes());
    converted.setCommitString(QString::fromStdString(ToHalfWidthKatakana(event->commitString().toStdString())),
                              event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&converted);
}

// ---------------------------------------------------------------- extraction dialog

CExtractDlg::CExtractDlg(CMilvaneDoc& doc, int mode, int resultKind, QWidget* parent)
    : QDialog(parent), m_logic(std::make_unique<CExtractDlgLogic>(&doc, doc.InstallDir(), mode, resultKind)) {
    setWindowTitle(QStringLiteral("抽出"));
    const std::string installDir = doc.InstallDir();

    // Result choice.
    auto* resultBox = new QGroupBox(QStringLiteral("結果"), this);
    m_customers = new QRadioButton(QStringLiteral("顧客一覧"), resultBox);
    m_rireki = new QRadioButton(QStringLiteral("履歴一覧"), resultBox);
    m_customers->setAccessibleName(QStringLiteral("結果：顧客一覧"));
    m_rireki->setAccessibleName(QStringLiteral("結果：履歴一覧"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_customers, 0);
    group->addButton(m_rireki, 1);
    QPushButton* columns = MakeButton(QStringLiteral("顧客一覧の表示設定..."), resultBox, &m_buttons);
    auto* resultLayout = new QHBoxLayout(resultBox);
    resultLayout->addWidget(m_customers);
    resultLayout->addWidget(m_rireki);
    resultLayout->addStretch(1);
    resultLayout->addWidget(columns);
    connect(group, &QButtonGroup::idClicked, this, [this](int id) {
        if (m_refreshing) return;
        m_logic->SetResultKind(id);
        Refresh();
    });
    connect(columns, &QPushButton::clicked, this, &CExtractDlg::OnColumns);

    // Condition rows.
    auto* rowsBox = new QGroupBox(QStringLiteral("条件"), this);
    auto* grid = new QGridLayout(rowsBox);
    const char* heads[] = {"項目", "条件", "比較", "つなぎ"};
    for (int c = 0; c < 4; ++c) grid->addWidget(new QLabel(QString::fromUtf8(heads[c]), rowsBox), 0, c + 1);
    for (int r = 0; r < 3; ++r) BuildRow(r, grid);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    auto* order = new QLabel(QStringLiteral("※（A  B）  C  の優先順になります"), rowsBox);
    auto* dateNote =
        new QLabel(QStringLiteral("※項目が日付の場合、 yyyy/mm/dd と入力してください。\n時刻は無視します。"), rowsBox);
    order->setAccessibleName(order->text());
    dateNote->setAccessibleName(dateNote->text());
    grid->addWidget(order, 4, 1, 1, 2);
    grid->addWidget(dateNote, 5, 1, 1, 4);

    // Commands.
    QPushButton* run = MakeButton(QStringLiteral("抽出実行"), this, &m_buttons);
    QPushButton* save = MakeButton(QStringLiteral("条件を保存..."), this, &m_buttons);
    QPushButton* preset = MakeButton(QStringLiteral("通常、顧客一覧をこの条件で抽出して表示する"), this, &m_buttons);
    QPushButton* cancel = MakeButton(QStringLiteral("キャンセル"), this, &m_buttons);
    connect(run, &QPushButton::clicked, this, &CExtractDlg::OnRun);
    connect(save, &QPushButton::clicked, this, &CExtractDlg::OnSave);
    connect(preset, &QPushButton::clicked, this, &CExtractDlg::OnPreset);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* commandRow = new QHBoxLayout;
    commandRow->addWidget(run);
    commandRow->addWidget(save);
    commandRow->addWidget(preset);
    commandRow->addStretch(1);
    commandRow->addWidget(cancel);

    // Saved conditions.
    auto* savedBox = new QGroupBox(QStringLiteral("保存済み条件"), this);
    m_saved = new QListWidget(savedBox);
    m_saved->setAccessibleName(QStringLiteral("保存済み条件"));
    m_saved->setSelectionMode(QAbstractItemView::SingleSelection);
    m_saved->setMinimumHeight(110);
    QPushButton* rename = MakeButton(QStringLiteral("名前の変更..."), savedBox, &m_buttons);
    QPushButton* remove = MakeButton(QStringLiteral("条件を削除"), savedBox, &m_buttons);
    connect(rename, &QPushButton::clicked, this, &CExtractDlg::OnRename);
    connect(remove, &QPushButton::clicked, this, &CExtractDlg::OnDelete);
    connect(m_saved, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_refreshing) return;
        m_logic->PickSaved(row);
        Refresh();
    });
    auto* savedButtons = new QVBoxLayout;
    savedButtons->addWidget(rename);
    savedButtons->addWidget(remove);
    savedButtons->addStretch(1);
    auto* savedLayout = new QHBoxLayout(savedBox);
    savedLayout->addWidget(m_saved, 1);
    savedLayout->addLayout(savedButtons);

    auto* top = new QVBoxLayout(this);
    top->addWidget(resultBox);
    top->addWidget(rowsBox);
    top->addLayout(commandRow);
    top->addWidget(savedBox, 1);

    // The small dialogs.
    m_logic->saveDialog = [this, installDir](CExCondition& c) {
        return RunSaveExtractionDialog(this, installDir, &c);
    };
    m_logic->renameDialog = [this](const std::string& name) -> std::optional<std::string> {
        CExRenameDlg dlg(name, this);
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.Name();
    };
    m_logic->columnsDialog = [this, installDir](const std::vector<std::string>& given)
        -> std::optional<std::vector<std::string>> {
        CExColumnsDlg dlg(installDir, this);
        if (!dlg.Open(given) || dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.Result();
    };

    m_logic->Open();
    // The mode's fixed states.
    save->setVisible(m_logic->SaveShown());
    preset->setVisible(m_logic->PresetShown());
    run->setEnabled(m_logic->RunEnabled());
    rename->setEnabled(m_logic->RenameDeleteEnabled());
    remove->setEnabled(m_logic->RenameDeleteEnabled());
    m_customers->setEnabled(m_logic->CustomerChoiceEnabled());
    m_rireki->setEnabled(m_logic->RirekiChoiceEnabled());
    (m_logic->PresetShown() ? preset : run)->setDefault(true);
    FillSavedList();
    Refresh();
    m_rows[0].field->setFocus();
}

CExtractDlg::~CExtractDlg() = default;

void CExtractDlg::BuildRow(int r, QGridLayout* grid) {
    QWidget* parent = grid->parentWidget();
    const QString name = RowName(r);
    RowControls& row = m_rows[r];
    grid->addWidget(new QLabel(name, parent), r + 1, 0);
    row.field = MakeCombo(name + QStringLiteral("：項目"), parent, 160);
    row.value = MakeCombo(name + QStringLiteral("：条件"), parent, 160);
    row.value->setEditable(true);
    row.value->setInsertPolicy(QComboBox::NoInsert);
    row.valueEdit = new CExValueEdit(row.value);
    row.value->setLineEdit(row.valueEdit);
    BindSjisField(row.value, 0);
    row.colour = new CColorMarkCombo(parent);
    row.colour->setAccessibleName(name + QStringLiteral("：条件"));
    row.op = MakeCombo(name + QStringLiteral("：比較"), parent, 120);
    // The colour picker lies exactly over the value box.
    auto* valueCell = new QWidget(parent);
    auto* stack = new QStackedLayout(valueCell);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(row.value);
    stack->addWidget(row.colour);
    grid->addWidget(row.field, r + 1, 1);
    grid->addWidget(valueCell, r + 1, 2);
    grid->addWidget(row.op, r + 1, 3);
    if (r < 2) {
        row.connector = MakeCombo(name + QStringLiteral("：つなぎ"), parent, 80);
        for (const char* t : kConnectorTexts) row.connector->addItem(QString::fromUtf8(t));
        grid->addWidget(row.connector, r + 1, 4);
        connect(row.connector, &QComboBox::currentIndexChanged, this, [this, r](int i) {
            if (m_refreshing || i < 0) return;
            m_logic->SetConnector(r, i);
            Refresh();
        });
    }
    connect(row.field, &QComboBox::currentIndexChanged, this, [this, r](int i) {
        if (m_refreshing) return;
        m_logic->ChooseField(r, i);
        Refresh();
    });
    connect(row.value, &QComboBox::editTextChanged, this, [this, r](const QString& text) {
        if (m_refreshing) return;
        m_logic->SetValue(r, text.toStdString());
    });
    connect(row.colour, &QComboBox::currentIndexChanged, this, [this, r](int i) {
        if (m_refreshing) return;
        m_logic->SetColour(r, i);
    });
    connect(row.op, &QComboBox::currentIndexChanged, this, [this, r](int i) {
        if (m_refreshing) return;
        m_logic->SetOperator(r, i);
    });
}

void CExtractDlg::Refresh() {
    m_refreshing = true;
    for (int r = 0; r < 3; ++r) RefreshRow(r);
    (m_logic->ResultKind() == 1 ? m_rireki : m_customers)->setChecked(true);
    if (QPushButton* b = Button(QStringLiteral("顧客一覧の表示設定..."))) b->setEnabled(m_logic->DisplaySettingsEnabled());
    const int sel = m_logic->ListSelection();
    if (m_saved->currentRow() != sel) m_saved->setCurrentRow(sel);
    m_refreshing = false;
}

void CExtractDlg::RefreshRow(int r) {
    RowControls& row = m_rows[r];
    const ExRowInput& in = m_logic->Row(r);
    QStringList fields;
    for (const auto& f : m_logic->Fields()) fields << Q(f.display);
    SetItems(row.field, fields);
    // The separator lines are skipped by the keyboard.
    if (auto* model = qobject_cast<QStandardItemModel*>(row.field->model()))
        for (int i = 0; i < model->rowCount(); ++i)
            if (m_logic->Fields()[static_cast<std::size_t>(i)].sqlRef.empty()) model->item(i)->setEnabled(false);
    row.field->setCurrentIndex(in.field);

    const bool colour = m_logic->KindOf(r) == ExFieldKind::Colour;
    auto* stack = static_cast<QStackedLayout*>(row.value->parentWidget()->layout());
    stack->setCurrentWidget(colour ? static_cast<QWidget*>(row.colour) : row.value);
    QStringList choices;
    for (const auto& c : in.choices) choices << Q(c);
    SetItems(row.value, choices);
    if (row.value->currentText() != Q(in.value)) row.value->setEditText(Q(in.value));
    row.colour->setCurrentIndex(in.colour);
    row.valueEdit->SetImeMode(ExImeModeFor(m_logic->RefOf(r)));

    QStringList ops;
    for (const auto& op : m_logic->Operators(r)) ops << QString::fromUtf8(op.display);
    SetItems(row.op, ops);
    row.op->setCurrentIndex(in.op);

    const bool enabled = m_logic->RowEnabled(r);
    for (QWidget* w : {static_cast<QWidget*>(row.field), static_cast<QWidget*>(row.value),
                       static_cast<QWidget*>(row.colour), static_cast<QWidget*>(row.op)})
        w->setEnabled(enabled);
    if (row.connector) {
        row.connector->setEnabled(enabled);
        row.connector->setCurrentIndex(enabled ? in.connector : kConnEnd);
    }
}

void CExtractDlg::FillSavedList() {
    QStringList names;
    for (const auto& n : m_logic->ListedNames()) names << Q(n);
    m_refreshing = true;
    FillList(m_saved, names, m_logic->ListSelection());
    m_refreshing = false;
}

QPushButton* CExtractDlg::Button(const QString& caption) const { return FindButton(m_buttons, caption); }

void CExtractDlg::OnRun() {
    if (!m_logic->RunEnabled()) return;
    if (m_logic->Run()) {
        accept();
        return;
    }
    Refresh();
}

void CExtractDlg::OnSave() {
    m_logic->SaveConditions();
    FillSavedList();
    Refresh();
}

void CExtractDlg::OnRename() {
    m_logic->Rename(SelectedRow(m_saved));
    FillSavedList();
    Refresh();
}

void CExtractDlg::OnDelete() {
    m_logic->Delete(SelectedRow(m_saved));
    FillSavedList();
    Refresh();
}

void CExtractDlg::OnPreset() {
    if (m_logic->Preset()) {
        accept();
        return;
    }
    Refresh();
}

void CExtractDlg::OnColumns() {
    m_logic->DisplaySettings();
    Refresh();
}

// ---------------------------------------------------------------- save and rename

namespace {

QLineEdit* NameRow(QDialog* dlg, QVBoxLayout* top, const QString& label) {
    auto* caption = new QLabel(label, dlg);
    auto* edit = new QLineEdit(dlg);
    BindSjisField(edit, 0);
    edit->setAccessibleName(label);
    caption->setBuddy(edit);
    top->addWidget(caption);
    top->addWidget(edit);
    return edit;
}

}  // namespace

CExSaveDlg::CExSaveDlg(const std::string& installDir, CExCondition& condition, QWidget* parent)
    : QDialog(parent), m_installDir(installDir), m_condition(condition) {
    setWindowTitle(QStringLiteral("抽出条件の保存"));
    auto* top = new QVBoxLayout(this);
    m_name = NameRow(this, top, QStringLiteral("条件の名前"));
    m_name->setText(Q(condition.ConditionName));
    QPushButton *ok, *cancel;
    top->addLayout(OkCancelRow(this, ok, cancel));
    resize(360, sizeHint().height());
}

void CExSaveDlg::accept() {
    const ExSaveResult result = SaveConditionAs(m_installDir, m_condition, m_name->text().toStdString());
    if (result == ExSaveResult::Stay) {
        m_name->setFocus();
        return;
    }
    m_savedIt = result == ExSaveResult::Saved;
    QDialog::accept();
}

CExRenameDlg::CExRenameDlg(const std::string& name, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("保存済み抽出条件の名前を変更"));
    auto* top = new QVBoxLayout(this);
    m_name = NameRow(this, top, QStringLiteral("新しい名前"));
    m_name->setText(Q(name));
    m_name->selectAll();
    QPushButton *ok, *cancel;
    top->addLayout(OkCancelRow(this, ok, cancel));
    resize(360, sizeHint().height());
}

std::string CExRenameDlg::Name() const { return m_name->text().toStdString(); }

void CExRenameDlg::accept() {
    if (!AcceptConditionName(Name())) {
        m_name->setFocus();
        return;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- result columns

CExColumnsDlg::CExColumnsDlg(const std::string& installDir, QWidget* parent)
    : QDialog(parent), m_model(installDir) {
    setWindowTitle(QStringLiteral("表示設定－顧客抽出"));
    const ColumnPicker picker = MakeColumnPicker(this, m_buttons);
    m_shown = picker.shown;
    m_available = picker.available;
    QPushButton *show = picker.show, *hide = picker.hide, *up = picker.up, *down = picker.down;
    auto onShow = [this] {
        const int row = SelectedRow(m_available);
        const int added = m_model.Show(row);
        if (added < 0) return;
        FillShown(added);
        FillAvailable();
        if (m_available->count() > 0) m_available->setCurrentRow(std::min(row, m_available->count() - 1));
    };
    auto onHide = [this] {
        const int row = SelectedRow(m_shown);
        if (!m_model.Hide(row)) return;
        FillShown(std::min(row, m_shown->count() - 2));
        FillAvailable();
    };
    connect(show, &QPushButton::clicked, this, onShow);
    connect(hide, &QPushButton::clicked, this, onHide);
    connect(m_available, &QListWidget::itemDoubleClicked, this, onShow);
    connect(m_shown, &QListWidget::itemDoubleClicked, this, onHide);
    connect(up, &QPushButton::clicked, this, [this] {
        const int to = m_model.MoveUp(SelectedRow(m_shown));
        if (to >= 0) FillShown(to);
    });
    connect(down, &QPushButton::clicked, this, [this] {
        const int to = m_model.MoveDown(SelectedRow(m_shown));
        if (to >= 0) FillShown(to);
    });

    auto* top = new QVBoxLayout(this);
    top->addLayout(picker.grid, 1);
    QPushButton *ok, *cancel;
    top->addLayout(OkCancelRow(this, ok, cancel));
    m_buttons.push_back(ok);
    m_buttons.push_back(cancel);
    setTabOrder(m_shown, up);
    setTabOrder(up, down);
    setTabOrder(down, show);
    setTabOrder(show, hide);
    setTabOrder(hide, m_available);
    setTabOrder(m_available, ok);
    setTabOrder(ok, cancel);
    resize(520, 400);
}

bool CExColumnsDlg::Open(const std::vector<std::string>& given) {
    if (!m_model.Open(given)) return false;
    FillShown(-1);
    FillAvailable();
    m_shown->setFocus();
    return true;
}

QPushButton* CExColumnsDlg::Button(const QString& caption) const { return FindButton(m_buttons, caption); }

void CExColumnsDlg::FillShown(int select) {
    QStringList labels;
    for (const auto& c : m_model.Shown()) labels << Q(c.label);
    FillList(m_shown, labels, select);
}

void CExColumnsDlg::FillAvailable() {
    // The list keeps its scroll position when refilled.
    const int scroll = m_available->verticalScrollBar() ? m_available->verticalScrollBar()->value() : 0;
    QStringList labels;
    for (const auto& c : m_model.Available()) labels << Q(c.label);
    FillList(m_available, labels, -1);
    if (m_available->verticalScrollBar()) m_available->verticalScrollBar()->setValue(scroll);
}

void CExColumnsDlg::accept() {
    m_result = m_model.Ok();
    QDialog::accept();
}

// ---------------------------------------------------------------- entry points

int RunExtractDialog(QWidget* parent, CMilvaneDoc& doc, int mode, int resultKind) {
    CExtractDlg dlg(doc, mode, resultKind, parent);
    if (dlg.exec() != QDialog::Accepted) return 0;
    if (mode == kExtractPreset) return 1;
    return doc.Extraction && doc.Extraction->ResultKind == 1 ? 2 : 1;
}

bool RunSaveExtractionDialog(QWidget* parent, const std::string& installDir, CExCondition* condition) {
    if (!CanOpenSaveDialog(condition)) return false;
    CExSaveDlg dlg(installDir, *condition, parent);
    dlg.exec();
    return dlg.SavedIt();
}
