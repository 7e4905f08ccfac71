#pragma once
// frmView: the history window. Lists the saved series, filtered by type and
// sorted by date or average, with their count, best single and best average;
// shows a series' solves (a double click), deletes one or all listed series,
// changes a penalty or a comment on a saved series,
// exports the list as CSV or as csTimer's file, imports another timer's
// history and takes the newest import back. It shows the rows the history
// hands it, acts on their ids through the history's use cases (history_edits.h,
// history_importer.h) and follows the history's and the types' changes.

#include "data/history_list.h"
#include "data/history_reads.h"
#include "data/history_writer.h"
#include "history/history_edits.h"
#include "history/listed_rows.h"
#include "history/ui/import_prompts.h"
#include "interop/history_importer.h"
#include "widgets/window_place.h"

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QStatusBar;

namespace spinlog {

class Grid;
class Prompts;
class PuzzleTypeStore;
class Reporter;
class Settings;
enum class Procedure;

// What the history window works with, all alive for its whole life.
struct HistoryWindowParts {
    HistoryWriter &history;  // its changes refresh the list; the use cases write through it
    const HistoryList &list;
    const HistoryChart &chart;
    const HistoryExport &exported;
    PuzzleTypeStore &types;  // followed as they change; an import makes types
    Settings &settings;
    Prompts &prompts;
    const Reporter &reporter;
    // The type of the series under way, which an import's undo keeps.
    std::function<std::optional<TypeId>()> underWay = {};
};

class frmView : public QDialog {
    Q_OBJECT
public:
    explicit frmView(HistoryWindowParts parts, QWidget *parent = nullptr);
    ~frmView() override;

    // The import's dialogs; the desktop's unless a test gives its own.
    void setImportPrompts(ImportPrompts &prompts) { importPrompts_ = &prompts; }

    // How many times the list has been queried since the window was built.
    int dataSetRuns() const { return dataSetRuns_; }
    // What the File menu's statistics item opens, with the type filter shown;
    // the item is there only once this is set.
    using OpenStatistics = std::function<void(const TypeFilter &filter, QWidget *over)>;
    void setStatisticsCommand(OpenStatistics open);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

public slots:
    void done(int result) override;

private:
    enum class DeleteScope { Current, Listed };

    void buildControls();
    void buildMenus();
    void Form_Load();
    void layOutColumns();
    // A time longer than the columns' sample (596 hours) widens its column;
    // the next fill narrows it again.
    void fitTimeColumns();
    // The twips a text takes in the window's font.
    int twipsOf(const QString &text) const;
    void Form_Resize();
    // The frame around the window (title bar, borders); none until shown.
    QSize frameExtra() const;
    // Keeps the outer size's rules when the frame becomes known or changes.
    void applyFrame();
    void Form_Unload();
    void listChanged();
    void historyChanged(const HistoryChange &change);
    // The types changed: the type list shows them, the same type chosen.
    void typesChanged();
    void fillTypeList();
    void vsFlex_MouseDown(int button);

    // Refills the grid and the three value boxes from the filter and order.
    void Sub_DataSet();
    void Sub_Delete(DeleteScope scope);
    // The context menu's penalties: the current row's solves, read from the
    // store as the menu pops up; a choice acts on that series.
    void fillPenaltyMenu();
    void givePenalty(int no, Penalty penalty);
    // The current row's solves with their moments, scrambles and comments.
    void showSolves();
    void Sub_OutputCSV();
    // The listed type (or every type) as csTimer's export file.
    void exportCsTimer();
    // Another timer's history, previewed, then added in one transaction.
    void importHistory();
    // Removes exactly what the newest import still in the history added.
    void undoImport();
    void showChart();

    TypeFilter filter() const;
    HistoryOrder order() const;
    // Hourglass and progress text, and their reset; balanced, so a reset
    // without a start does nothing to the pointer.
    void showProgress(const QString &text);
    void clearProgress();
    // Runs a procedure's body; on a failure the pointer goes back to normal
    // before the report and the status panel is emptied after it.
    bool run(Procedure procedure, const std::function<void()> &body);
    // Row 1, last column current, scrolled to the top.
    void cursorToFirstRecord();

    HistoryWindowParts parts_;
    Settings &settings_;
    Prompts &prompts_;
    const Reporter &reporter_;
    HistoryEdits edits_;
    HistoryImporter importer_;
    ListedRows listed_;
    TypeChoices choices_;  // the type list's entries
    bool loadEnd_ = false;
    bool busy_ = false;
    bool unloaded_ = false;
    int dataSetRuns_ = 0;
    // Its position and height (the width is fixed).
    WindowPlace place_{
        {Setting::ViewLeft, Setting::ViewTop, {}, Setting::ViewHeight}, 0, 0, Procedure::ViewLoad};
    QSize appliedFrame_;
    int timeTwips_ = 0;  // a time column's width, made for " 00:00.00 "

    QWidget *client_ = nullptr;
    Grid *vsFlex_ = nullptr;
    QComboBox *cmbType_ = nullptr;
    QComboBox *cmbOrder_ = nullptr;
    QLabel *lblKensu_ = nullptr;
    QLabel *lblBTm_ = nullptr;
    QLabel *lblBAveTm_ = nullptr;
    QStatusBar *statusBar_ = nullptr;
    QLabel *statusPanel_ = nullptr;
    QMenu *rightClick_ = nullptr;
    QMenu *penaltyMenu_ = nullptr;
    std::array<QMenu *, 12> penaltySolves_{};  // a submenu per solve: none, +2, DNF
    std::int64_t penaltyId_ = 0;               // the series the penalty menu shows
    OpenStatistics openStatistics_;
    QAction *statistics_ = nullptr;
    std::unique_ptr<ImportPrompts> ownImportPrompts_;
    ImportPrompts *importPrompts_ = nullptr;
};

}  // namespace spinlog
