#include "printing/ui/FormGalleryUi.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MilvaneView.h"
#include "common/ui/ValueLabel.h"
#include "dm/ui/DMSelectDlgs.h"
#include "printing/DispPrev.h"
#include "printing/FormGallery.h"
#include "printing/ui/FormNamesDlg.h"

namespace {

enum Role { kLayout = Qt::UserRole, kSecond, kCustomers, kType };

QLabel* PreviewLabel(CMilvaneView& view) {
    auto* label = view.findChild<QLabel*>("formPreview");
    if (!label) {
        label = new QLabel(&view);
        label->setObjectName("formPreview");
        label->setGeometry(CMilvaneView::PreviewRect());
        label->setAlignment(Qt::AlignCenter);
        label->setAccessibleName(QStringLiteral("フォームのプレビュー"));
        label->show();
    }
    return label;
}

CValueLabel* NameLabel(CMilvaneView& view) {
    auto* label = view.findChild<CValueLabel*>("formName");
    if (!label) {
        label = new CValueLabel(QStringLiteral("フォーム名"), &view);
        label->setObjectName("formName");
        label->setGeometry(CMilvaneView::FormNameRect());
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->show();
    }
    return label;
}

QString PicturePath(const CMilvaneView& view, const QListWidgetItem* item) {
    return QString::fromStdString(PreviewPicturePath(const_cast<CMilvaneView&>(view).Document().InstallDir(),
                                                     item->data(kLayout).toInt(), item->data(kSecond).toInt()));
}

void ShowSelected(CMilvaneView& view) {
    QListWidgetItem* item = view.Gallery()->currentItem();
    QLabel* preview = PreviewLabel(view);
    CValueLabel* name = NameLabel(view);
    QPixmap picture;
    if (item) {
        view.Document().SelectedFormId = item->data(kLayout).toInt();
        picture.load(PicturePath(view, item));
    }
    if (picture.isNull())
        preview->clear();
    else
        preview->setPixmap(picture.scaled(preview->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    name->SetValue(item ? item->text() : QString());
}

void Connect(CMilvaneView& view) {
    QListWidget* gallery = view.Gallery();
    if (gallery->property("formGallery").toBool()) return;
    gallery->setProperty("formGallery", true);
    gallery->setIconSize(QSize(64, 64));
    QObject::connect(gallery, &QListWidget::currentItemChanged, &view, [&view] { ShowSelected(view); });
    QObject::connect(gallery, &QListWidget::itemActivated, &view, [&view] { view.Features().OpenForm(view); });
}

}  // namespace

void OpenGallerySelection(CMilvaneView& view) {
    QListWidgetItem* item = view.Gallery()->currentItem();
    CGalleryEntry entry;
    if (item) {
        entry.layout = item->data(kLayout).toInt();
        entry.second = item->data(kSecond).toInt();
        entry.customerCount = item->data(kCustomers).toInt();
        entry.formType = item->data(kType).toInt();
        entry.name = item->text().toStdString();
    }
    CFormLaunchUi ui;
    ui.selectCustomers = [&view](std::vector<uint32_t>& customers, bool& record) {
        CCustomerSelectDlg dialog(view.Document(), 2, &view);
        if (dialog.exec() != QDialog::Accepted) return false;
        customers = dialog.Logic().records;
        record = dialog.Logic().keepHistory;
        return true;
    };
    ui.selectDm = [&view](int32_t& dmKey, std::vector<uint32_t>& targets, bool& record) {
        CDMTitleSelectDlg dialog(&view.Document(), 2, {}, &view);
        if (dialog.exec() != QDialog::Accepted) return false;
        dmKey = dialog.Logic().resultDMKey;
        targets = dialog.Logic().resultKeys;
        record = dialog.Logic().keepHistory;
        return true;
    };
    ui.chooseMethod = [&](int preset) {
        CCustomerMethodDlg dialog({true, bool(ui.selectCustomers), bool(ui.selectDm)}, preset, &view);
        return dialog.exec() == QDialog::Accepted ? dialog.Choice() : -1;
    };
    OpenGalleryForm(&view.Document(), item ? &entry : nullptr, ui);
}

CCustomerMethodDlg::CCustomerMethodDlg(const std::array<bool, 3>& available, int preset, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("顧客選択方法"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("印刷フォームに流し込む顧客情報を選択しますか？"), this));
    const char* labels[] = {"印刷フォームを起動する（顧客を選択しない）", "顧客一覧から選択する", "DM送付予定から選択する"};
    for (int i = 0; i < 3; ++i) {
        m_options[i] = new QRadioButton(QString::fromUtf8(labels[i]), this);
        m_options[i]->setAccessibleName(QString::fromUtf8(labels[i]));
        m_options[i]->setEnabled(available[i]);
        layout->addWidget(m_options[i]);
    }
    if (preset < 0 || preset > 2 || !available[preset]) preset = 0;
    m_options[preset]->setChecked(true);
    m_options[preset]->setFocus();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int CCustomerMethodDlg::Choice() const {
    for (int i = 0; i < 3; ++i)
        if (m_options[i]->isChecked()) return i;
    return 0;
}

void FillFormGallery(CMilvaneView& view) {
    Connect(view);
    QListWidget* gallery = view.Gallery();
    const std::string installDir = view.Document().InstallDir();
    const QSignalBlocker block(gallery);
    gallery->clear();
    QListWidgetItem* selected = nullptr;
    for (const CGalleryEntry& e : GalleryEntries(installDir, view.SelectedTab())) {
        auto* item = new QListWidgetItem(QString::fromStdString(e.name), gallery);
        item->setData(kLayout, e.layout);
        item->setData(kSecond, e.second);
        item->setData(kCustomers, e.customerCount);
        item->setData(kType, e.formType);
        QPixmap icon(PicturePath(view, item));
        if (!icon.isNull()) item->setIcon(QIcon(icon));
        if (e.layout == view.Document().SelectedFormId) selected = item;
    }
    gallery->setCurrentItem(selected);
    ShowSelected(view);
}

void RefillUserFormGallery(CMilvaneView& view) {
    if (view.SelectedTab() == kUserFormTab) FillFormGallery(view);
}

namespace {
constexpr CMenuCommand kCommands[] = {{ID_FORM_NAMES, RunFormNamesDialog}};
}  // namespace

std::span<const CMenuCommand> FormGalleryCommands() { return kCommands; }
