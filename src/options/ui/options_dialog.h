#pragma once
// frmOption: countdown, alarm interval, the three marking colours, the
// puzzle type table, the inspection and the hold to start, and what times the
// solves (the keyboard or a Stackmat timer, with its audio input), and the
// language of the texts from the next start. Built
// afresh at each opening around the value read for it; OK checks the value
// and hands it over to be stored.

#include "options/options_value.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace spinlog {

class Grid;
class Prompts;
class Reporter;
class TypeEditor;

class frmOption : public QDialog {
    Q_OBJECT
public:
    // Stores a checked value; throws SpinlogError when it cannot.
    using Store = std::function<void(const OptionsValue &)>;

    // Shows the loaded value at once (a load failure is reported here); show
    // it with exec().
    // records: what adding and removing a type asks.
    frmOption(LoadedOptions loaded, Store store, TypeRecords records, Prompts &prompts,
              const Reporter &reporter, QWidget *parent = nullptr);
    ~frmOption() override;

    // The digits of text an input method commits, full-width ones as ASCII.
    static QString digitsOnly(const QString &committed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls(TypeRecords records, const std::vector<LoadedOptions::Input> &inputs);
    void buildTypeFrame(TypeRecords records);
    void buildTimeFrame();
    void buildColourFrame();
    void buildInspectionFrame();
    void buildTimerFrame(const std::vector<LoadedOptions::Input> &inputs);
    void buildLanguageRow();
    void Form_Load(const QString &failure);
    void cmdOK_Click();
    void cmdColor_Click(int index);
    bool checkTime(int index, const QString &message);
    void showColour(int index);

    OptionsValue value_;
    Store store_;
    Prompts &prompts_;
    const Reporter &reporter_;
    QGroupBox *fraTime_ = nullptr;
    QGroupBox *fraColor_ = nullptr;
    QGroupBox *fraType_ = nullptr;
    QGroupBox *fraInspection_ = nullptr;
    std::array<QLabel *, 5> lbl_{};
    std::array<QLineEdit *, 2> txtTime_{};
    std::array<QLabel *, 3> lblColor_{};
    std::array<QPushButton *, 3> cmdColor_{};
    std::array<QRadioButton *, 2> optInspection_{};  // the countdown, the competition's
    QCheckBox *chkHoldToStart_ = nullptr;
    std::array<QRadioButton *, 2> optTimer_{};  // the keyboard, the Stackmat
    QComboBox *cmbStackmatDevice_ = nullptr;    // its entries' data: the inputs' ids
    QComboBox *cmbLanguage_ = nullptr;          // Japanese, English
    QPushButton *cmdOK_ = nullptr;
    QPushButton *cmdCancel_ = nullptr;
    QPushButton *cmdAddType_ = nullptr;
    QPushButton *cmdRemoveType_ = nullptr;
    Grid *vsFlex_ = nullptr;
    TypeEditor *typeEditor_ = nullptr;
};

}  // namespace spinlog
