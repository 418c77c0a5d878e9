// The editable drop-down bound to one choice list: filled from the list file,
// limited to the list's byte limit, and registering a new text in the list
// when it loses the focus.
#pragma once

#include <QComboBox>

#include <memory>
#include <string>

class CMLVComboData;

class CChoiceComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CChoiceComboBox(QWidget* parent = nullptr);
    ~CChoiceComboBox() override;

    // Empties the drop-down, loads list listNo of the data folder named by the
    // installation's datadir.dat, takes the list's text limit and shows its
    // entries in order. A list that cannot be loaded leaves the drop-down
    // empty and switches automatic registration off.
    void Fill(const std::string& installDir, int listNo, bool autoRegister = true);

    bool AutoRegisterEnabled() const { return m_autoRegister; }
    int TextLimit() const { return m_limit; }
    std::string Text() const;
    void SetText(const std::string& text);
    // The bound list (null before Fill).
    const CMLVComboData* Data() const { return m_data.get(); }

    // Adds the current text to the list and the drop-down when it is new
    // (called when the focus leaves). True when it was added.
    bool RegisterCurrentText();

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    std::unique_ptr<CMLVComboData> m_data;
    bool m_autoRegister = true;
    int m_limit = 30;
};
