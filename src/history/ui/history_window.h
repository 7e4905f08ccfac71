#pragma once
// frmView: the history window. Lists the saved series, filtered by type and
// sorted by date or average, with their count, best single and best average;
// deletes one or all listed series and exports the list as CSV.

#include "app/error_report.h"

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;

namespace spinlog {

class Grid;
class Program;

class frmView : public QDialog {
    Q_OBJECT
public:
    explicit frmView(Program &program, QWidget *parent = nullptr);
    ~frmView() override;

    // Refills the grid and the three value boxes from the filter and order.
    void Sub_DataSet();
    // all 0: the current record; otherwise every listed record.
    void Sub_Delete(std::int16_t all);
    void Sub_OutputCSV();

    // The menu arrays; any other index does nothing.
    void M_File_Click(std::int16_t index);
    void M_Edit_Click(std::int16_t index);
    void M_RightClick_Click(std::int16_t index);

    // Controls.
    Grid *vsFlex = nullptr;
    QComboBox *cmbType = nullptr;
    QComboBox *cmbOrder = nullptr;
    QLabel *lblKensu = nullptr;
    QLabel *lblBTm = nullptr;
    QLabel *lblBAveTm = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *statusPanel = nullptr;  // the status bar's first panel
    QMenuBar *menuBar = nullptr;
    QAction *M_File[5] = {};  // 1 CSV output, 2 separator, 3 exit, 4 chart
    QAction *M_Edit[3] = {};  // 1 delete, 2 delete all
    QMenu *M_RightClickMain = nullptr;
    QAction *M_RightClick[2] = {};  // 1 delete

    // Window state, as read at load.
    QString SearchType;
    QString SearchOrder;
    QString LoadEnd = QStringLiteral("0");

    // How many times the list has been queried since the window was built.
    int dataSetRuns() const { return dataSetRuns_; }

signals:
    // The window closes; series may have been deleted.
    void closing();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

public slots:
    void done(int result) override;

private:
    // The stored position and height the window was placed from, twips.
    float placedTop_ = 0;
    float placedLeft_ = 0;
    float placedHeight_ = 0;

    void buildControls();
    void Form_Load();
    void Form_Resize();
    // The frame around the window (title bar, borders); none until shown.
    QSize frameExtra() const;
    // Keeps the outer size's rules when the frame becomes known or changes.
    void applyFrame();
    QSize appliedFrame_;
    void Form_Unload();
    void cmbType_Click();
    void cmbOrder_Click();
    void vsFlex_MouseDown(int button, int shift, int x, int y);

    // Hourglass and progress text, and their reset; balanced, so a reset
    // without a start does nothing to the pointer.
    void showProgress(const QString &text);
    void clearProgress();
    // Runs a procedure's body; on a failure the pointer goes back to normal
    // before the report and the status panel is emptied after it.
    bool run(Procedure procedure, const std::function<void()> &body);
    // Row 1, last column current, scrolled to the top.
    void cursorToFirstRecord();

    Program &program_;
    QWidget *client_ = nullptr;
    bool busy_ = false;
    bool unloaded_ = false;
    int dataSetRuns_ = 0;
};

}  // namespace spinlog
