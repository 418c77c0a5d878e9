#include "customers/ui/ChoiceComboBox.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "common/SjisText.h"
#include "customers/ComboData.h"

CSjisLimitValidator::CSjisLimitValidator(int maxBytes, QObject* parent) : QValidator(parent), m_limit(maxBytes) {}

QValidator::State CSjisLimitValidator::validate(QString& input, int& pos) const {
    if (m_limit < 0) return Acceptable;
    const std::string utf8 = input.toStdString();
    if (SjisLength(utf8) <= static_cast<std::size_t>(m_limit)) return Acceptable;
    // Cut the part typed or pasted at the cursor rather than the tail beyond it.
    const QString before = input.left(pos);
    const QString after = input.mid(pos);
    const std::size_t afterBytes = SjisLength(after.toStdString());
    QString kept;
    if (afterBytes <= static_cast<std::size_t>(m_limit)) {
        kept = QString::fromStdString(SjisTruncate(before.toStdString(), m_limit - afterBytes));
        input = kept + after;
        pos = kept.size();
    } else {
        input = QString::fromStdString(SjisTruncate(utf8, m_limit));
        pos = std::min<int>(pos, input.size());
    }
    return Acceptable;
}

CChoiceComboBox::CChoiceComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(12);
    m_validator = new CSjisLimitValidator(m_limit, this);
    lineEdit()->setValidator(m_validator);
}

CChoiceComboBox::~CChoiceComboBox() = default;

void CChoiceComboBox::Fill(const std::string& installDir, int listNo, bool autoRegister) {
    clear();
    m_autoRegister = autoRegister;
    m_data = std::make_unique<CMLVComboData>(installDir);
    const bool loaded = m_data->Load(listNo) != 0;
    m_limit = ChoiceListLimit(listNo);
    m_validator->SetLimit(m_limit);
    if (!loaded) {
        m_autoRegister = false;
    } else {
        for (const auto& e : m_data->entries) addItem(QString::fromStdString(e.text));
    }
    setEditText(QString());
}

std::string CChoiceComboBox::Text() const { return currentText().toStdString(); }

void CChoiceComboBox::SetText(const std::string& text) {
    setEditText(QString::fromStdString(SjisTruncate(text, m_limit)));
}

bool CChoiceComboBox::RegisterCurrentText() {
    if (!m_autoRegister || !m_data) return false;
    const QString text = currentText();
    if (text.isEmpty()) return false;
    if (findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) return false;
    if (!m_data->AutoRegister(text.toStdString())) return false;
    addItem(text);
    setEditText(text);
    return true;
}

void CChoiceComboBox::focusOutEvent(QFocusEvent* e) {
    QComboBox::focusOutEvent(e);
    // Opening the drop-down moves the focus to the popup only for a moment.
    if (e->reason() != Qt::PopupFocusReason) RegisterCurrentText();
}
