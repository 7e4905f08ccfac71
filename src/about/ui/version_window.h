#pragma once
// frmVersion: name, version, last update, legal notice and addresses. Typing
// D, I, R in a row opens the application folder in the file manager.

#include <QDialog>
#include <QString>
#include <cstdint>

class QLabel;
class QPushButton;

namespace spinlog {

class Reporter;
class Shell;

class frmVersion : public QDialog {
    Q_OBJECT
public:
    // folder: the application folder that D, I, R opens through the shell.
    frmVersion(Shell &shell, QString folder, const Reporter &reporter, QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void Form_Activate();
    // Sees every key before the focused control; never consumes it.
    void Form_KeyDown(int keyCode);

    Shell &shell_;
    QString folder_;
    const Reporter &reporter_;
    QLabel *lblTitle_ = nullptr;
    QLabel *lblLastUpdate_ = nullptr;
    QLabel *lblCopyright_ = nullptr;
    QLabel *lblMail_ = nullptr;
    QLabel *lblURL_ = nullptr;
    QPushButton *cmdOK_ = nullptr;
    // Letters of the key sequence matched so far, 0 to 3.
    std::int16_t matched_ = 0;
};

}  // namespace spinlog
