#include "maintenance/ui/MaintenanceDlgs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/Ports.h"
#include "common/ui/ImeMode.h"
#include "common/ui/SjisFieldBinding.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QLineEdit* e) { return e->text().trimmed().toStdString(); }

QLabel* Text(const char* text, QWidget* parent, int indent = 0) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setWordWrap(true);
    label->setIndent(indent);
    return label;
}

QPushButton* Browse(QWidget* parent) {
    auto* b = new QPushButton(QStringLiteral("参照(&B)..."), parent);
    b->setAccessibleName(QStringLiteral("参照..."));
    b->setAutoDefault(false);
    return b;
}

// OK and キャンセル; OK is the default button and runs accept().
QPushButton* AddButtons(QDialog* dlg, QBoxLayout* layout) {
    auto* buttons = new QDialogButtonBox(dlg);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    ok->setAccessibleName(QStringLiteral("OK"));
    cancel->setAccessibleName(QStringLiteral("キャンセル"));
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    return ok;
}

}  // namespace

// ------------------------------------------------------------------ 228

CDataLocationDlg::CDataLocationDlg(const std::string& currentDataDir, QWidget* parent)
    : QDialog(parent), m_logic(currentDataDir) {
    setWindowTitle(QStringLiteral("データベース保存先の設定"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(Text("データベースファイルの保存先の設定を変更し、変更先のデータベースに切り替えます。", this));
    struct Choice {
        const char* label;
        const char* help;
    } const choices[] = {
        {"既存のデータベースに切り替える(&1)",
         "既存の『Milvane』データベースを使用するようにします。データベースファイルが存在するフォルダを指定してください。"},
        {"現在のデータベースファイルを複製する(&2)",
         "現在使用しているデータベースファイルや設定ファイルなどをコピーします。空のフォルダまたは新しく作成するフォルダ名を"
         "指定してください。"},
        {"新しいデータベースを作成する(&3)",
         "新しいデータベースを作成します。現在の設定は持ち越します。空のフォルダまたは新しく作成するフォルダ名を指定してくだ"
         "さい。"},
    };
    m_choices = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(choices[i].label), this);
        radio->setAccessibleName(QString::fromUtf8(choices[i].label).remove(QStringLiteral("(&%1)").arg(i + 1)));
        radio->setAccessibleDescription(QString::fromUtf8(choices[i].help));
        m_choices->addButton(radio, i);
        top->addWidget(radio);
        top->addWidget(Text(choices[i].help, this, 20));
    }
    m_choices->button(kLocationSwitch)->setChecked(true);

    auto* label = new QLabel(QStringLiteral("データベース保存フォルダ(&F):"), this);
    m_folder = new QLineEdit(this);
    m_folder->setAccessibleName(QStringLiteral("データベース保存フォルダ"));
    SetImeMode(m_folder, false);
    m_folder->setMinimumWidth(360);
    label->setBuddy(m_folder);
    QPushButton* browse = Browse(this);
    connect(browse, &QPushButton::clicked, this, [this] {
        std::optional<std::string> chosen =
            Ports::Prompt().ChooseFolder("データベース保存フォルダ", S(m_folder));
        if (chosen) m_folder->setText(Q(*chosen));
        m_folder->setFocus();
    });
    auto* row = new QHBoxLayout;
    row->addWidget(m_folder, 1);
    row->addWidget(browse);
    top->addSpacing(6);
    top->addWidget(label);
    top->addLayout(row);
    m_ok = AddButtons(this, top);
    m_choices->button(0)->setFocus();
}

void CDataLocationDlg::accept() {
    m_logic.choice = m_choices->checkedId();
    m_logic.folder = S(m_folder);
    const bool close = m_logic.OnOK();
    m_folder->setText(Q(m_logic.folder));
    if (close) QDialog::accept();
}

// ------------------------------------------------------------------ 223

CRirekiPurgeDlg::CRirekiPurgeDlg(const std::tm& today, QWidget* parent) : QDialog(parent), m_logic(today) {
    setWindowTitle(QStringLiteral("履歴をまとめて削除"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(Text("現在の履歴をバックアップして、指定した日付以前の履歴をすべて削除します。", this));
    top->addWidget(Text("このバックアップファイルを復元することはできませんが、メニュー画面の【ツール】－［過去の履歴を参照す"
                        "る］から閲覧が可能です。",
                        this));
    top->addSpacing(6);
    auto* folderLabel =
        Text("①バックアップフォルダを指定してください。空のフォルダを指定する必要があります。", this);
    top->addWidget(folderLabel);
    m_edits[0] = new QLineEdit(this);
    m_edits[0]->setAccessibleName(QStringLiteral("バックアップフォルダ"));
    m_edits[0]->setAccessibleDescription(folderLabel->text());
    m_edits[0]->setMinimumWidth(360);
    folderLabel->setBuddy(m_edits[0]);
    QPushButton* browse = Browse(this);
    connect(browse, &QPushButton::clicked, this, [this] {
        std::optional<std::string> chosen = Ports::Prompt().ChooseFolder("バックアップフォルダ", S(m_edits[0]));
        if (chosen) m_edits[0]->setText(Q(*chosen));
        m_edits[0]->setFocus();
    });
    auto* row = new QHBoxLayout;
    row->addWidget(m_edits[0], 1);
    row->addWidget(browse);
    top->addLayout(row);

    top->addSpacing(6);
    top->addWidget(Text("②履歴を削除する日付を指定してください。指定した日付以前の履歴を削除します。", this));
    auto* date = new QHBoxLayout;
    const char* parts[] = {"年", "月", "日"};
    const std::string values[] = {m_logic.year, m_logic.month, m_logic.day};
    for (int i = 0; i < 3; ++i) {
        QLineEdit*& e = m_edits[1 + i];
        e = new QLineEdit(Q(values[i]), this);
        BindSjisField(e, i == 0 ? 4 : 2);
        e->setFixedWidth(i == 0 ? 60 : 40);
        e->setInputMethodHints(Qt::ImhDigitsOnly);
        SetImeMode(e, false);
        e->setAccessibleName(QStringLiteral("削除する日付 ") + QString::fromUtf8(parts[i]));
        auto* l = new QLabel(QString::fromUtf8(parts[i]), this);
        l->setBuddy(e);
        date->addWidget(e);
        date->addWidget(l);
    }
    date->addStretch(1);
    top->addLayout(date);
    top->addSpacing(6);
    top->addWidget(Text("※履歴を閲覧するには、今回のバックアップ後の下記のフォルダ内のファイル構成は変更しないでください。",
                        this));
    m_ok = AddButtons(this, top);
    m_edits[0]->setFocus();
}

void CRirekiPurgeDlg::accept() {
    m_logic.folder = S(m_edits[0]);
    m_logic.year = S(m_edits[1]);
    m_logic.month = S(m_edits[2]);
    m_logic.day = S(m_edits[3]);
    const bool close = m_logic.OnOK();
    m_edits[0]->setText(Q(m_logic.folder));
    if (close) {
        QDialog::accept();
        return;
    }
    QLineEdit* focus = m_edits[int(m_logic.focus)];
    focus->setFocus();
    focus->selectAll();
}

// ------------------------------------------------------------------ 224

COptimiseDlg::COptimiseDlg(const std::tm& today, QWidget* parent) : QDialog(parent), m_logic(today) {
    setWindowTitle(QStringLiteral("データベースの最適化"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(Text("データベースを最適化します。\nこの操作には時間がかかりますが途中でキャンセルすることはできません。",
                        this));
    top->addSpacing(6);
    auto* label = Text("最適化する前に現在のデータベースをバックアップします。\nバックアップファイル名を指定してください。",
                       this);
    top->addWidget(label);
    m_name = new QLineEdit(this);
    m_name->setAccessibleName(QStringLiteral("バックアップファイル名"));
    m_name->setAccessibleDescription(label->text());
    m_name->setMinimumWidth(360);
    label->setBuddy(m_name);
    QPushButton* browse = Browse(this);
    connect(browse, &QPushButton::clicked, this, [this] {
        m_logic.name = S(m_name);
        m_logic.Browse();
        m_name->setText(Q(m_logic.name));
        m_name->setFocus();
    });
    auto* row = new QHBoxLayout;
    row->addWidget(m_name, 1);
    row->addWidget(browse);
    top->addLayout(row);
    m_ok = AddButtons(this, top);
    m_name->setFocus();
}

void COptimiseDlg::accept() {
    m_logic.name = S(m_name);
    if (m_logic.OnOK()) QDialog::accept();
}
