#pragma once
// frmVersion: name, version, last update, legal notice and addresses. Typing
// D, I, R in a row opens the application folder in the file manager.

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

namespace spinlog {

class Program;

class frmVersion : public QDialog {
    Q_OBJECT
public:
    explicit frmVersion(Program &program, QWidget *parent = nullptr);

    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblLastUpdate = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblMail = nullptr;
    QLabel *lblURL = nullptr;
    QPushButton *cmdOK = nullptr;

    // Letters of the key sequence matched so far, 0 to 3.
    std::int16_t matched = 0;

    void Form_Load();
    void Form_Activate();
    // Sees every key before the focused control; never consumes it.
    void Form_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void cmdOK_Click();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Program &program_;
};

}  // namespace spinlog
