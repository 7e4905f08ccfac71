#pragma once
// frmOption: countdown, alarm interval, the three marking colours and the
// puzzle type table. Built afresh at each opening from the program-wide
// values and the database; only OK stores anything.

#include <QDialog>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace spinlog {

class Grid;
class Program;
class TypeEditor;

class frmOption : public QDialog {
    Q_OBJECT
public:
    // Loads the dialog at once (errors are reported here); show it with exec().
    explicit frmOption(Program &program, QWidget *parent = nullptr);
    ~frmOption() override;

    QLineEdit *txtTime(int index) const { return txtTime_[std::size_t(index)]; }
    QLabel *lblColor(int index) const { return lblColor_[std::size_t(index)]; }
    QPushButton *cmdColor(int index) const { return cmdColor_[std::size_t(index)]; }
    QLabel *lbl(int index) const { return lbl_[std::size_t(index)]; }
    QPushButton *cmdOK() const { return cmdOK_; }
    QPushButton *cmdCancel() const { return cmdCancel_; }
    Grid *vsFlex() const { return vsFlex_; }

    // The background colour of a preview, as 0x00BBGGRR.
    std::uint32_t previewColor(int index) const;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdColor_Click(int index);
    // Whether a character typed into a time box reaches it.
    static bool txtTime_KeyPress(int index, QChar key);
    // The digits of text an input method commits, full-width ones as ASCII.
    static QString digitsOnly(const QString &committed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    bool checkTime(int index, const QString &message);
    void setPreviewColor(int index, std::uint32_t bgr);

    Program &program_;
    QGroupBox *fraTime_ = nullptr;
    QGroupBox *fraColor_ = nullptr;
    QGroupBox *fraType_ = nullptr;
    std::array<QLabel *, 5> lbl_{};
    std::array<QLineEdit *, 2> txtTime_{};
    std::array<QLabel *, 3> lblColor_{};
    std::array<QPushButton *, 3> cmdColor_{};
    QPushButton *cmdOK_ = nullptr;
    QPushButton *cmdCancel_ = nullptr;
    Grid *vsFlex_ = nullptr;
    TypeEditor *typeEditor_ = nullptr;
};

}  // namespace spinlog
