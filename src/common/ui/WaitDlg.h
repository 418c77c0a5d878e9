// The shared wait dialog: a small frameless window with a busy indicator,
// shown while a long step runs on the user-interface thread.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

class CWaitDlg : public QWidget {
    Q_OBJECT
public:
    explicit CWaitDlg(QWidget* parent = nullptr, const QString& text = QString());

    void SetText(const QString& text);
    QString Text() const;
    // Shows the dialog centred over its parent (or the screen) and paints it at once.
    void ShowNow();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_label;
    QProgressBar* m_bar;
};
