#include "exchange/ui/ImportDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "customers/KokyakuViewLogic.h"
#include "customers/MLVColSet.h"
#include "customers/ui/DialogParts.h"
#include "exchange/BrennaImport.h"
#include "exchange/Import.h"
#include "exchange/TextImport.h"
#include "exchange/XmlConv.h"
#include "exchange/ui/ExportDlg.h"
#include "common/ui/ImeMode.h"
#include "common/ui/SjisFieldBinding.h"

// ---------------------------------------------------------------- sources

std::unique_ptr<CChoiceDlg> MakeImportSourceDlg(QWidget* parent) {
    QStringList labels;
    for (const CExchangeFormat* f : ExchangeFormats()) labels << Q(f->Label());
    return std::make_unique<CChoiceDlg>(QStringLiteral("データの取り込み"), QString(), labels, QStringLiteral("次へ"),
                                        parent);
}

std::unique_ptr<CChoiceDlg> MakeBrennaSourceDlg(QWidget* parent) {
    return std::make_unique<CChoiceDlg>(
        QStringLiteral("Brennaデータの取り込み"),
        QStringLiteral("「Brenna」のデータを取り込みます。\n取り込むデータを選択して【OK】をクリックしてください。"),
        QStringList{QStringLiteral("得意先Excelブック"), QStringLiteral("得意先台帳ツール")}, QStringLiteral("OK"),
        parent);
}

// ---------------------------------------------------------------- text format

CTextFormatDlg::CTextFormatDlg(std::string_view bytes, QWidget* parent)
    : QDialog(parent),
      m_bytes(bytes),
      m_group(new QButtonGroup(this)),
      m_other(new QLineEdit(this)) {
    m_format.encoding = DetectTextEncoding(bytes);
    setWindowTitle(QStringLiteral("ﾃｷｽﾄﾌｧｲﾙの形式"));
    auto* top = new QVBoxLayout(this);
    const QString labels[] = {QStringLiteral("カンマ区切り"), QStringLiteral("タブ区切り"),
                              QStringLiteral("スペース区切り"), QStringLiteral("その他・・・・・＞")};
    auto* radios = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(labels[i], this);
        radio->setAccessibleName(labels[i]);
        m_group->addButton(radio, i);
        radios->addWidget(radio, i, 0);
        if (i == 0) radio->setChecked(true);
    }
    BindSjisField(m_other, 1);
    m_other->setFixedWidth(40);
    m_other->setAccessibleName(QStringLiteral("その他の区切り文字"));
    SetImeMode(m_other, false);
    radios->addWidget(m_other, 3, 1, Qt::AlignLeft);
    radios->setColumnStretch(2, 1);
    top->addLayout(radios);
    connect(m_other, &QLineEdit::textEdited, this, [this] { m_group->button(kOtherDelimiterChoice)->setChecked(true); });

    auto* encodingRow = new QHBoxLayout;
    auto* encodingLabel = new QLabel(QStringLiteral("文字コード"), this);
    m_encoding = new QComboBox(this);
    for (const char* name : kTextEncodingNames) m_encoding->addItem(Q(name));
    m_encoding->setCurrentIndex(static_cast<int>(m_format.encoding));
    m_encoding->setAccessibleName(encodingLabel->text());
    encodingLabel->setBuddy(m_encoding);
    encodingRow->addWidget(encodingLabel);
    encodingRow->addWidget(m_encoding);
    encodingRow->addStretch(1);
    top->addLayout(encodingRow);

    auto* imageLabel = new QLabel(QStringLiteral("データイメージ"), this);
    m_image = new QPlainTextEdit(this);
    m_image->setReadOnly(true);
    m_image->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_image->setPlainText(Q(TextPreview(m_bytes, m_format.encoding)));
    m_image->setAccessibleName(imageLabel->text());
    m_image->setMinimumSize(460, 200);
    imageLabel->setBuddy(m_image);
    top->addWidget(imageLabel);
    top->addWidget(m_image, 1);
    connect(m_encoding, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) return;
        m_format.encoding = static_cast<TextEncoding>(index);
        m_image->setPlainText(Q(TextPreview(m_bytes, m_format.encoding)));
    });

    QPushButton *ok, *cancel;
    QHBoxLayout* row = OkCancelRow(this, ok, cancel);
    ok->setText(QStringLiteral("次へ"));
    ok->setAccessibleName(ok->text());
    top->addLayout(row);
}

void CTextFormatDlg::accept() {
    std::string other = m_other->text().toStdString();
    std::optional<char> d = ChosenDelimiter(m_group->checkedId(), other);
    m_other->setText(Q(other));
    if (!d) {
        m_other->setFocus();
        return;
    }
    m_format.delimiter = *d;
    QDialog::accept();
}

// ---------------------------------------------------------------- sheet and table

CNameChoiceDlg::CNameChoiceDlg(const QString& title, const QString& prompt, const std::vector<std::string>& names,
                               const std::string& noSelection, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this)), m_noSelection(noSelection) {
    setWindowTitle(title);
    auto* top = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    label->setBuddy(m_list);
    m_list->setAccessibleName(prompt);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    QStringList rows;
    for (const std::string& n : names) rows << Q(n);
    FillList(m_list, rows, 0);
    top->addWidget(label);
    top->addWidget(m_list, 1);
    QPushButton *ok, *cancel;
    QHBoxLayout* row = OkCancelRow(this, ok, cancel);
    ok->setText(QStringLiteral("次へ"));
    ok->setAccessibleName(ok->text());
    top->addLayout(row);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CNameChoiceDlg::accept);
}

void CNameChoiceDlg::accept() {
    m_choice = SelectedRow(m_list);
    if (m_choice < 0) {
        if (!m_noSelection.empty()) ShowMessage(m_noSelection);
        return;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- mapping

CImportMapDlg::CImportMapDlg(CImportMapModel& model, QWidget* parent)
    : QDialog(parent),
      m_model(model),
      m_fields(new QListWidget(this)),
      m_data(new QTreeWidget(this)),
      m_rule(new QPlainTextEdit(this)),
      m_firstRow(new QCheckBox(QStringLiteral("１行目から読み込む"), this)) {
    setWindowTitle(QStringLiteral("項目の対応付け"));
    auto* fieldsLabel = new QLabel(QStringLiteral("顧客データベースの項目"), this);
    fieldsLabel->setBuddy(m_fields);
    m_fields->setAccessibleName(fieldsLabel->text());
    m_fields->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fields->setMinimumSize(180, 300);

    auto* dataLabel = new QLabel(QStringLiteral("読み込むデータ"), this);
    dataLabel->setBuddy(m_data);
    m_data->setAccessibleName(dataLabel->text());
    m_data->setRootIsDecorated(false);
    m_data->setSelectionMode(QAbstractItemView::SingleSelection);
    m_data->setMinimumSize(420, 300);
    QStringList headings;
    for (const std::string& h : m_model.Headings()) headings << Q(h);
    m_data->setHeaderLabels(headings);
    m_data->header()->setSectionResizeMode(QHeaderView::Stretch);

    auto* ruleLabel = new QLabel(QStringLiteral("読み込めるデータについて"), this);
    ruleLabel->setBuddy(m_rule);
    m_rule->setReadOnly(true);
    m_rule->setAccessibleName(ruleLabel->text());
    m_rule->setFixedHeight(70);

    auto* note = new QLabel(QStringLiteral("※１行目が項目名などで読み込みが不要な場合はチェックをはずします"), this);
    m_firstRow->setAccessibleName(m_firstRow->text());
    m_firstRow->setAccessibleDescription(note->text());
    m_firstRow->setChecked(m_model.readFirstRow);
    m_firstRow->setEnabled(!m_model.FirstRowFixed());

    QPushButton* map = MakeButton(QStringLiteral("対応づける→"), this, &m_buttons);
    QPushButton* unmap = MakeButton(QStringLiteral("解除する←"), this, &m_buttons);
    connect(map, &QPushButton::clicked, this, [this] {
        const int line = m_data->indexOfTopLevelItem(m_data->currentItem());
        const bool selected = m_data->currentItem() && m_data->currentItem()->isSelected();
        if (m_model.Map(SelectedRow(m_fields), selected ? line : -1)) Fill(line);
    });
    connect(unmap, &QPushButton::clicked, this, [this] {
        const int line = m_data->indexOfTopLevelItem(m_data->currentItem());
        const bool selected = m_data->currentItem() && m_data->currentItem()->isSelected();
        if (m_model.Unmap(selected ? line : -1)) Fill(line);
    });
    connect(m_fields, &QListWidget::currentRowChanged, this, [this](int row) {
        m_rule->setPlainText(row >= 0 && static_cast<std::size_t>(row) < m_model.Fields().size()
                                 ? Q(ImportRuleText(m_model.Fields()[static_cast<std::size_t>(row)].fieldName))
                                 : QString());
    });

    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(map);
    middle->addWidget(unmap);
    middle->addStretch(1);
    auto* grid = new QGridLayout;
    grid->addWidget(fieldsLabel, 0, 0);
    grid->addWidget(dataLabel, 0, 2);
    grid->addWidget(m_fields, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(m_data, 1, 2);
    grid->addWidget(ruleLabel, 2, 0);
    grid->addWidget(m_rule, 3, 0);
    auto* checkColumn = new QVBoxLayout;
    checkColumn->addWidget(m_firstRow);
    checkColumn->addWidget(note);
    grid->addLayout(checkColumn, 3, 2);
    grid->setColumnStretch(2, 1);

    QPushButton *ok, *cancel;
    QHBoxLayout* okRow = OkCancelRow(this, ok, cancel);
    ok->setText(QStringLiteral("完了"));
    ok->setAccessibleName(ok->text());
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(okRow);
    // Left to right as the dialog reads: fields, the two buttons, the data.
    QWidget* order[] = {m_fields, map, unmap, m_data, m_rule, m_firstRow, ok, cancel};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    Fill(0);
}

QPushButton* CImportMapDlg::Button(const QString& caption) const { return FindButton(m_buttons, caption); }

void CImportMapDlg::Fill(int selectLine) {
    QStringList fields;
    for (const CMLVCol& c : m_model.Fields()) fields << Q(c.label);
    FillList(m_fields, fields, -1);
    m_rule->clear();
    m_data->clear();
    for (const auto& line : m_model.Lines()) {
        QStringList texts;
        for (const std::string& t : line) texts << Q(t).replace(QLatin1Char('\r'), QString()).replace(QLatin1Char('\n'), QLatin1Char(' '));
        m_data->addTopLevelItem(new QTreeWidgetItem(texts));
    }
    if (selectLine >= 0 && selectLine < m_data->topLevelItemCount()) {
        m_data->setCurrentItem(m_data->topLevelItem(selectLine));
        m_data->topLevelItem(selectLine)->setSelected(true);
    }
}

void CImportMapDlg::accept() {
    m_model.readFirstRow = m_firstRow->isChecked();
    if (!m_model.Finish()) return;
    QDialog::accept();
}

// ---------------------------------------------------------------- commands

namespace {

std::optional<std::size_t> ChooseSheet(QWidget* parent, const std::vector<std::string>& names) {
    CNameChoiceDlg dlg(QStringLiteral("シートの選択"), QStringLiteral("シートを選択してください"), names,
                       kNoSheetChosen, parent);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return static_cast<std::size_t>(dlg.Choice());
}

}  // namespace

void RunImportCommand(QWidget* parent, CMilvaneDoc& doc, CKokyakuViewLogic& logic) {
    CImportDialogs dialogs;
    dialogs.chooseSource = [parent]() -> std::optional<int> {
        auto dlg = MakeImportSourceDlg(parent);
        if (dlg->exec() != QDialog::Accepted) return std::nullopt;
        return dlg->Choice();
    };
    dialogs.textFormat = [parent](std::string_view bytes) -> std::optional<TextFormat> {
        CTextFormatDlg dlg(bytes, parent);
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.Format();
    };
    dialogs.chooseSheet = [parent](const std::vector<std::string>& names) { return ChooseSheet(parent, names); };
    dialogs.chooseTable = [parent](const std::vector<std::string>& names) -> std::optional<std::size_t> {
        CNameChoiceDlg dlg(QStringLiteral("ﾃｰﾌﾞﾙの選択"), QStringLiteral("テーブルを選択してください"), names,
                           std::string(), parent);
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return static_cast<std::size_t>(dlg.Choice());
    };
    dialogs.mapColumns = [parent](CImportMapModel& model) {
        CImportMapDlg dlg(model, parent);
        return dlg.exec() == QDialog::Accepted;
    };
    dialogs.readXml = [](CKokyakuList& records) { return CXmlConv().ReadXML(records); };
    const std::string installDir = doc.InstallDir();
    const std::string pictures = doc.PictureFolder();
    logic.Import(
        [&](const AddKokyakuFn& add) { return ImportCustomersWithCatalogue(installDir, dialogs, add, pictures); });
}

void RunBrennaImportCommand(QWidget* parent, CKokyakuViewLogic& logic) {
    CBrennaDialogs dialogs;
    dialogs.chooseSource = [parent]() -> std::optional<int> {
        auto dlg = MakeBrennaSourceDlg(parent);
        if (dlg->exec() != QDialog::Accepted) return std::nullopt;
        return dlg->Choice();
    };
    dialogs.chooseSheet = [parent](const std::vector<std::string>& names) { return ChooseSheet(parent, names); };
    logic.Import([&](const AddKokyakuFn& add) { return ImportBrenna(dialogs, add); });
}
