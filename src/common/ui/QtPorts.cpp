#include "common/ui/QtPorts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <climits>
#include <cstdio>
#include <vector>

#include "common/ui/WaitDlg.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QWidget* DialogParent() {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    if (QWidget* w = QApplication::activeWindow()) return w;
    return nullptr;
}

QMessageBox::Icon QtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Stop: return QMessageBox::Critical;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton QtButton(Answer a) {
    switch (a) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

QString Group(const std::string& section, const std::string& key) {
    return section.empty() ? Q(key) : Q(section) + '/' + Q(key);
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(QWidget* parent, const std::string& text, MsgIcon icon,
                                             MsgButtons buttons, Answer defaultButton) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(kMessageTitle);
    box->setIcon(QtIcon(icon));
    box->setText(Q(text));
    box->setTextFormat(Qt::PlainText);

    struct B { Answer answer; const char* label; };
    std::vector<B> list;
    switch (buttons) {
    case MsgButtons::Ok: list = {{Answer::Ok, "OK"}}; break;
    case MsgButtons::YesNo: list = {{Answer::Yes, "はい(&Y)"}, {Answer::No, "いいえ(&N)"}}; break;
    case MsgButtons::YesNoCancel:
        list = {{Answer::Yes, "はい(&Y)"}, {Answer::No, "いいえ(&N)"}, {Answer::Cancel, "キャンセル"}};
        break;
    case MsgButtons::OkCancel: list = {{Answer::Ok, "OK"}, {Answer::Cancel, "キャンセル"}}; break;
    }
    QMessageBox::StandardButtons set;
    for (const B& b : list) set |= QtButton(b.answer);
    box->setStandardButtons(set);
    for (const B& b : list) box->button(QtButton(b.answer))->setText(QString::fromUtf8(b.label));

    QAbstractButton* def = box->button(QtButton(defaultButton));
    if (!def) def = box->button(QtButton(list.front().answer));
    box->setDefaultButton(qobject_cast<QPushButton*>(def));
    // Escape answers Cancel where there is one, otherwise No (Yes/No) or OK.
    if (QAbstractButton* esc = box->button(QMessageBox::Cancel))
        box->setEscapeButton(esc);
    else if (QAbstractButton* no = box->button(QMessageBox::No))
        box->setEscapeButton(no);
    else
        box->setEscapeButton(box->button(QMessageBox::Ok));
    return box;
}

Answer AnswerOf(const QMessageBox& box) {
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Ok: return Answer::Ok;
    default: break;
    }
    // Closed without a button: the escape answer.
    switch (box.standardButton(box.escapeButton())) {
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return Answer::Cancel;
    }
}

// ---------------------------------------------------------------- prompt

Answer CQtPrompt::Ask(const std::string& text, MsgIcon icon, MsgButtons buttons, Answer defaultButton) {
    auto box = BuildMessageBox(DialogParent(), text, icon, buttons, defaultButton);
    // A question must not be answered by the wait cursor of a running step.
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
    box->exec();
    if (waiting) QApplication::restoreOverrideCursor();
    return AnswerOf(*box);
}

void CQtPrompt::Message(const std::string& text, MsgIcon icon) { Ask(text, icon, MsgButtons::Ok, Answer::Ok); }

Answer CQtPrompt::AskYesNo(const std::string& text, MsgIcon icon, Answer def) {
    return Ask(text, icon, MsgButtons::YesNo, def);
}

Answer CQtPrompt::AskYesNoCancel(const std::string& text, MsgIcon icon, Answer def) {
    return Ask(text, icon, MsgButtons::YesNoCancel, def);
}

Answer CQtPrompt::AskOkCancel(const std::string& text, MsgIcon icon, Answer def) {
    return Ask(text, icon, MsgButtons::OkCancel, def);
}

std::optional<std::string> CQtPrompt::ChooseFolder(const std::string& prompt, const std::string& startFolder) {
    return Chosen(QFileDialog::getExistingDirectory(DialogParent(), Q(prompt), Q(startFolder),
                                                    QFileDialog::ShowDirsOnly));
}

std::optional<std::string> CQtPrompt::ChooseOpenFile(const std::string& title, const std::string& filter,
                                                     const std::string& startPath) {
    return Chosen(QFileDialog::getOpenFileName(DialogParent(), Q(title), Q(startPath), Q(filter)));
}

std::optional<std::string> CQtPrompt::ChooseSaveFile(const std::string& title, const std::string& filter,
                                                     const std::string& startPath) {
    QFileDialog dlg(DialogParent(), Q(title), Q(startPath), Q(filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    // A name typed without extension takes the filter's first one before the
    // overwrite question is asked, as the default extension of a save dialog.
    static const QRegularExpression firstPattern(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch m = firstPattern.match(Q(filter));
    if (m.hasMatch()) dlg.setDefaultSuffix(m.captured(1));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(dlg.selectedFiles().front());
}

// ---------------------------------------------------------------- console prompt

Answer CConsolePrompt::Tell(const std::string& text, Answer answer) {
    ++m_count;
    std::fprintf(stderr, "%s\n", text.c_str());
    return answer;
}

void CConsolePrompt::Message(const std::string& text, MsgIcon) { Tell(text, Answer::Ok); }
Answer CConsolePrompt::AskYesNo(const std::string& text, MsgIcon, Answer def) { return Tell(text, def); }
Answer CConsolePrompt::AskYesNoCancel(const std::string& text, MsgIcon, Answer def) { return Tell(text, def); }
Answer CConsolePrompt::AskOkCancel(const std::string& text, MsgIcon, Answer def) { return Tell(text, def); }

std::optional<std::string> CConsolePrompt::ChooseFolder(const std::string& prompt, const std::string&) {
    Tell(prompt, Answer::Cancel);
    return std::nullopt;
}

std::optional<std::string> CConsolePrompt::ChooseOpenFile(const std::string& title, const std::string&,
                                                          const std::string&) {
    Tell(title, Answer::Cancel);
    return std::nullopt;
}

std::optional<std::string> CConsolePrompt::ChooseSaveFile(const std::string& title, const std::string&,
                                                          const std::string&) {
    Tell(title, Answer::Cancel);
    return std::nullopt;
}

// ---------------------------------------------------------------- profile

CQtProfile::CQtProfile()
    : m_settings(std::make_unique<QSettings>(QStringLiteral("Ostrel/Zorund"), QStringLiteral("Milvane"))) {}

CQtProfile::CQtProfile(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

CQtProfile::~CQtProfile() = default;

int32_t CQtProfile::GetInt(const std::string& section, const std::string& key, int32_t def) {
    const QVariant v = m_settings->value(Group(section, key));
    if (!v.isValid()) return def;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < INT32_MIN || n > INT32_MAX) return def;
    return static_cast<int32_t>(n);
}

void CQtProfile::WriteInt(const std::string& section, const std::string& key, int32_t value) {
    m_settings->setValue(Group(section, key), static_cast<int>(value));
}

std::string CQtProfile::GetString(const std::string& section, const std::string& key, const std::string& def) {
    const QVariant v = m_settings->value(Group(section, key));
    if (!v.isValid()) return def;
    return v.toString().toStdString();
}

void CQtProfile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    m_settings->setValue(Group(section, key), Q(value));
}

// ---------------------------------------------------------------- wait

CQtWait::CQtWait() = default;

CQtWait::~CQtWait() {
    while (m_cursorDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_cursorDepth;
    }
}

void CQtWait::BeginWait(bool withDialog) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++m_cursorDepth;
    if (withDialog && m_dialogDepth++ == 0) {
        if (!m_dialog) m_dialog = std::make_unique<CWaitDlg>();
        m_dialog->ShowNow();
    }
}

void CQtWait::EndWait(bool withDialog) {
    if (withDialog && m_dialogDepth > 0 && --m_dialogDepth == 0 && m_dialog) m_dialog->hide();
    if (m_cursorDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_cursorDepth;
    }
}

// ---------------------------------------------------------------- installation

CQtPorts::CQtPorts() { Ports::Install(&prompt, &profile, &wait); }

CQtPorts::~CQtPorts() { Ports::Install(nullptr, nullptr, nullptr); }
