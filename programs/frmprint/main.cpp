// The form-printing program "<install>/exe/Frmprint", started by the menu
// screen with " /L:<layout>": shows the form filled with the own-company
// values, prints it or saves it as PDF, and saves copies of it as user-made
// forms (new name, margins moved).
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Ports.h"
#include "common/ui/Accessible.h"
#include "common/ui/QtPorts.h"
#include "customers/Kokyaku.h"
#include "printing/DispPrev.h"
#include "printing/FormPages.h"
#include "printing/OwnCompany.h"
#include "printing/UserForms.h"
#include "printing/ui/FormPreviewDlg.h"

namespace {

int LayoutArgument(const QStringList& args) {
    for (const QString& a : args)
        if (a.startsWith("/L:", Qt::CaseInsensitive)) return a.mid(3).toInt();
    return 0;
}

// "オリジナルフォームとして保存": the name and the margins moved.
class CSaveCopyDlg : public QDialog {
public:
    explicit CSaveCopyDlg(const QString& title, QWidget* parent) : QDialog(parent) {
        setWindowTitle(QStringLiteral("オリジナルフォームとして保存"));
        auto* layout = new QVBoxLayout(this);
        auto* form = new QFormLayout;
        name = new QLineEdit(title, this);
        name->setMaxLength(kUserFormNameLimit);
        name->setAccessibleName(QStringLiteral("フォーム名"));
        dx = new QDoubleSpinBox(this);
        dy = new QDoubleSpinBox(this);
        for (QDoubleSpinBox* s : {dx, dy}) {
            s->setRange(-30, 30);
            s->setDecimals(1);
            s->setSingleStep(0.5);
            s->setSuffix(QStringLiteral(" mm"));
        }
        dx->setAccessibleName(QStringLiteral("左右の位置（右へ）"));
        dy->setAccessibleName(QStringLiteral("上下の位置（下へ）"));
        form->addRow(QStringLiteral("フォーム名"), name);
        form->addRow(QStringLiteral("左右の位置（右へ）"), dx);
        form->addRow(QStringLiteral("上下の位置（下へ）"), dy);
        layout->addLayout(form);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
        buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
        buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("ｷｬﾝｾﾙ"));
        connect(buttons, &QDialogButtonBox::accepted, this, [this] {
            if (name->text().isEmpty()) {
                ShowMessage("フォーム名を入力してください");
                name->setFocus();
                return;
            }
            accept();
        });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        name->selectAll();
        name->setFocus();
    }
    QLineEdit* name;
    QDoubleSpinBox* dx;
    QDoubleSpinBox* dy;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CQtPorts ports;
    InstallAccessibleFactories();
    // The program is started as "<install>/exe/Frmprint", which may be a link
    // to the installed program: the path it was started by names the install
    // folder, the resolved one only when it was started by name.
    const QString started = QString::fromLocal8Bit(argv[0]);
    const QString exeDir = started.contains('/') ? QFileInfo(started).absolutePath()
                                                 : QCoreApplication::applicationDirPath();
    const std::string installDir = QDir(exeDir + "/..").absolutePath().toStdString();
    const int number = LayoutArgument(app.arguments());
    CFormLayout layout;
    if (number < 1 || !CBrnMainData(installDir).LoadLayout(number, layout)) {
        ShowMessage("レイアウト情報がありません。");
        return 1;
    }
    CFormFillData fill;
    fill.own = ReadOwnCompany(installDir);
    CKokyaku blank;
    std::vector<const CKokyaku*> customers;
    if (layout.takesCustomers) customers.push_back(&blank);
    const std::vector<CPrintPage> pages = BuildFormPages(layout, customers, nullptr, fill);

    CFormPreviewDlg dialog(QString::fromStdString(layout.title), pages);
    dialog.setWindowTitle(QStringLiteral("フォーム印刷 - ") + QString::fromStdString(layout.title));
    auto* save = new QPushButton(QStringLiteral("オリジナルフォームとして保存(&O)..."), &dialog);
    save->setAccessibleName(QStringLiteral("オリジナルフォームとして保存"));
    QObject::connect(save, &QPushButton::clicked, &dialog, [&] {
        CSaveCopyDlg ask(QString::fromStdString(layout.title), &dialog);
        if (ask.exec() != QDialog::Accepted) return;
        const std::string name = ask.name->text().toStdString();
        if (SaveUserFormCopy(installDir, layout, name, ask.dx->value(), ask.dy->value()) == 0)
            ShowMessage(kFileErrorMessage);
        else
            ShowMessage("オリジナルフォーム「" + name + "」を保存しました。", MsgIcon::Information);
    });
    dialog.AddButton(save);
    dialog.exec();
    return 0;
}
