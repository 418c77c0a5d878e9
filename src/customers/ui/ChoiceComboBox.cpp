#include "customers/ui/ChoiceComboBox.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "common/SjisText.h"
#include "common/ui/SjisFieldBinding.h"
#include "customers/ComboData.h"

CChoiceComboBox::CChoiceComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(12);
    BindSjisField(this, m_limit);
}

CChoiceComboBox::~CChoiceComboBox() = default;

void CChoiceComboBox::Fill(const std::string& installDir, int listNo, bool autoRegister) {
    clear();
    m_autoRegister = autoRegister;
    m_data = std::make_unique<CMLVComboData>(installDir);
    const bool loaded = m_data->Load(listNo) != 0;
    m_limit = ChoiceListLimit(listNo);
    BindSjisField(this, m_limit);
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
