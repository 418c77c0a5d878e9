#include "exchange/ui/ExportDlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "customers/ui/DialogParts.h"
#include "exchange/Export.h"
#include "exchange/HtmlExport.h"

// ---------------------------------------------------------------- choices

CChoiceDlg::CChoiceDlg(const QString& title, const QString& prompt, const QStringList& choices,
                       const QString& okText, QWidget* parent)
    : QDialog(parent), m_group(new QButtonGroup(this)) {
    setWindowTitle(title);
    auto* top = new QVBoxLayout(this);
    if (!prompt.isEmpty()) top->addWidget(new QLabel(prompt, this));
    for (int i = 0; i < choices.size(); ++i) {
        auto* radio = new QRadioButton(choices[i], this);
        radio->setAccessibleName(choices[i]);
        m_group->addButton(radio, i);
        top->addWidget(radio);
        if (i == 0) radio->setChecked(true);
    }
    QPushButton *ok, *cancel;
    QHBoxLayout* row = OkCancelRow(this, ok, cancel);
    ok->setText(okText);
    ok->setAccessibleName(okText);
    top->addSpacing(8);
    top->addLayout(row);
}

int CChoiceDlg::Choice() const { return m_group->checkedId(); }

std::unique_ptr<CChoiceDlg> MakeExportFormatDlg(QWidget* parent) {
    QStringList labels;
    for (const CExchangeFormat* f : WritableFormats()) labels << Q(f->Label());
    return std::make_unique<CChoiceDlg>(QStringLiteral("顧客データ書き出し"), QString(), labels,
                                        QStringLiteral("次へ"), parent);
}

std::unique_ptr<CChoiceDlg> MakeHtmlFormDlg(QWidget* parent) {
    return std::make_unique<CChoiceDlg>(QStringLiteral("HTML書き出し形式の選択"),
                                        QStringLiteral("書き出すHTML形式を選択してください"),
                                        QStringList{QStringLiteral("顧客データ"), QStringLiteral("顧客データ＋履歴")},
                                        QStringLiteral("OK"), parent);
}

// ---------------------------------------------------------------- columns

CExportColumnsDlg::CExportColumnsDlg(const std::string& installDir, QWidget* parent)
    : QDialog(parent), m_model(std::make_unique<CExportColumnsModel>(installDir)) {
    setWindowTitle(QStringLiteral("書き出し列の設定"));
    auto makeList = [this](const QString& name) {
        auto* l = new QListWidget(this);
        l->setAccessibleName(name);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setMinimumSize(180, 260);
        return l;
    };
    auto* chosenLabel = new QLabel(QStringLiteral("書き出す列"), this);
    auto* orderLabel = new QLabel(QStringLiteral("上から順番に書き出します"), this);
    m_chosen = makeList(QStringLiteral("書き出す列"));
    m_chosen->setAccessibleDescription(orderLabel->text());
    chosenLabel->setBuddy(m_chosen);
    auto* availableLabel = new QLabel(QStringLiteral("書き出し可能な列"), this);
    m_available = makeList(QStringLiteral("書き出し可能な列"));
    availableLabel->setBuddy(m_available);

    QPushButton* add = MakeButton(QStringLiteral("書き出す←"), this, &m_buttons);
    QPushButton* addAll = MakeButton(QStringLiteral("全部書き出す←"), this, &m_buttons);
    QPushButton* remove = MakeButton(QStringLiteral("書き出さない→"), this, &m_buttons);
    QPushButton* removeAll = MakeButton(QStringLiteral("全部書き出さない→"), this, &m_buttons);
    QPushButton* up = MakeButton(QStringLiteral("上へ"), this, &m_buttons);
    QPushButton* down = MakeButton(QStringLiteral("下へ"), this, &m_buttons);

    connect(add, &QPushButton::clicked, this, [this] {
        // The next available column stays selected, so that 書き出す← can be pressed again.
        const int row = SelectedRow(m_available);
        if (!m_model->Add(row)) return;
        const int next = std::min(row, static_cast<int>(m_model->Available().size()) - 1);
        Fill(static_cast<int>(m_model->Chosen().size()) - 1, next);
    });
    connect(addAll, &QPushButton::clicked, this, [this] {
        m_model->AddAll();
        Fill(-1, -1);
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (m_model->Remove(SelectedRow(m_chosen))) Fill(-1, -1);
    });
    connect(removeAll, &QPushButton::clicked, this, [this] {
        m_model->RemoveAll();
        Fill(-1, -1);
    });
    connect(up, &QPushButton::clicked, this, [this] {
        int row = m_model->MoveUp(SelectedRow(m_chosen));
        if (row >= 0) Fill(row, -1);
    });
    connect(down, &QPushButton::clicked, this, [this] {
        int row = m_model->MoveDown(SelectedRow(m_chosen));
        if (row >= 0) Fill(row, -1);
    });
    connect(m_available, &QListWidget::itemDoubleClicked, add, &QPushButton::click);
    connect(m_chosen, &QListWidget::itemDoubleClicked, remove, &QPushButton::click);

    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    for (QPushButton* b : {add, addAll, remove, removeAll}) middle->addWidget(b);
    middle->addStretch(1);
    auto* moveRow = new QHBoxLayout;
    moveRow->addWidget(up);
    moveRow->addWidget(down);
    moveRow->addStretch(1);

    auto* grid = new QGridLayout;
    grid->addWidget(chosenLabel, 0, 0);
    grid->addWidget(availableLabel, 0, 2);
    grid->addWidget(orderLabel, 1, 0);
    grid->addWidget(m_chosen, 2, 0);
    grid->addLayout(middle, 2, 1);
    grid->addWidget(m_available, 2, 2);
    grid->addLayout(moveRow, 3, 0);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    QPushButton *ok, *cancel;
    QHBoxLayout* okRow = OkCancelRow(this, ok, cancel);
    m_buttons.push_back(ok);
    m_buttons.push_back(cancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid, 1);
    top->addLayout(okRow);

    setTabOrder(m_chosen, up);
    setTabOrder(up, down);
    setTabOrder(down, add);
    setTabOrder(add, addAll);
    setTabOrder(addAll, remove);
    setTabOrder(remove, removeAll);
    setTabOrder(removeAll, m_available);
    setTabOrder(m_available, ok);
    setTabOrder(ok, cancel);
    resize(560, 420);
}

CExportColumnsDlg::~CExportColumnsDlg() = default;

bool CExportColumnsDlg::Open() {
    if (!m_model->Open()) return false;
    Fill(-1, 0);
    return true;
}

QPushButton* CExportColumnsDlg::Button(const QString& caption) const { return FindButton(m_buttons, caption); }

void CExportColumnsDlg::Fill(int selectChosen, int selectAvailable) {
    auto labels = [](const std::vector<CMLVCol>& cols) {
        QStringList out;
        for (const CMLVCol& c : cols) out << Q(c.label);
        return out;
    };
    FillList(m_chosen, labels(m_model->Chosen()), selectChosen);
    // The right list keeps its scroll position when refilled.
    const int scroll = m_available->verticalScrollBar()->value();
    FillList(m_available, labels(m_model->Available()), selectAvailable);
    m_available->verticalScrollBar()->setValue(scroll);
}

void CExportColumnsDlg::accept() {
    if (m_model->Ok()) QDialog::accept();
}

// ---------------------------------------------------------------- folder

CFolderDlg::CFolderDlg(const QString& prompt, const QString& folder, QWidget* parent)
    : QDialog(parent), m_prompt(prompt) {
    setWindowTitle(QStringLiteral("フォルダを指定"));
    auto* label = new QLabel(prompt, this);
    label->setWordWrap(true);
    m_edit = new QLineEdit(folder, this);
    m_edit->setAccessibleName(prompt);
    label->setBuddy(m_edit);
    QPushButton* browse = MakeButton(QStringLiteral("参照..."), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        std::optional<std::string> chosen = Ports::Prompt().ChooseFolder(m_prompt.toStdString(), Folder().toStdString());
        if (chosen) m_edit->setText(Q(*chosen));
    });
    auto* editRow = new QHBoxLayout;
    editRow->addWidget(m_edit, 1);
    editRow->addWidget(browse);
    QPushButton *ok, *cancel;
    QHBoxLayout* okRow = OkCancelRow(this, ok, cancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(label);
    top->addLayout(editRow);
    top->addLayout(okRow);
    setTabOrder(m_edit, browse);
    setTabOrder(browse, ok);
    setTabOrder(ok, cancel);
    resize(460, sizeHint().height());
}

QString CFolderDlg::Folder() const { return m_edit->text(); }

// ---------------------------------------------------------------- commands

void RunExportCommand(QWidget* parent, CMilvaneDoc& doc, const std::vector<const CKokyaku*>& selected) {
    CExportDialogs dialogs;
    dialogs.chooseFormat = [parent]() -> std::optional<int> {
        auto dlg = MakeExportFormatDlg(parent);
        if (dlg->exec() != QDialog::Accepted) return std::nullopt;
        return dlg->Choice();
    };
    dialogs.chooseColumns = [parent, &doc]() -> std::optional<std::vector<CMLVCol>> {
        CExportColumnsDlg dlg(doc.InstallDir(), parent);
        if (!dlg.Open() || dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.Model().Chosen();
    };
    ExportCustomers(selected, doc.PictureFolder(), dialogs);
}

void RunHtmlExportCommand(QWidget* parent, CMilvaneDoc& doc, const std::vector<const CKokyaku*>& selected) {
    CHtmlExportDialogs dialogs;
    dialogs.chooseForm = [parent]() -> std::optional<int> {
        auto dlg = MakeHtmlFormDlg(parent);
        if (dlg->exec() != QDialog::Accepted) return std::nullopt;
        return dlg->Choice();
    };
    auto last = std::make_shared<QString>();
    dialogs.chooseFolder = [parent, last]() -> std::optional<std::string> {
        CFolderDlg dlg(QStringLiteral("HTMLファイルを書き出すフォルダを指定して【ＯＫ】をクリックしてください。"), *last,
                       parent);
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        *last = dlg.Folder();
        return last->toStdString();
    };
    dialogs.readHistory = [&doc](int32_t key, CRirekiList& list) {
        return doc.Database().GetRirekiForKokyaku(key, list);
    };
    CMLVColSet set(doc.InstallDir());
    if (!set.Load()) set.columns.clear();
    HtmlExport(selected, doc.PictureFolder(), set.columns, dialogs);
}
