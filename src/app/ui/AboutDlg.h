// The About box: the application icon and "Milvane\nVersion x.yy".
#pragma once

#include <QDialog>

class CValueLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    QString Text() const;

private:
    CValueLabel* m_text;
};
