#pragma once
// The scramble window (object name frmScramble): a tool window beside the
// main window showing the scramble for the next solve in large type, a
// picture of the scrambled puzzle, and the scramble just used in a smaller
// line. A view of the ScrambleBoard; scrambles are made on a worker thread.

#include "scramble/scramble_board.h"
#include "scramble/scramble_source.h"
#include "widgets/window_place.h"

#include <QWidget>
#include <memory>

class QLabel;

namespace spinlog {

class ErrorLog;
class Settings;
class PuzzlePicture;

class ScrambleWindow : public QWidget {
    Q_OBJECT
public:
    // Placed from the settings (anything unreadable: the defaults, with an
    // entry in the error log).
    ScrambleWindow(Settings &settings, const ErrorLog &log, QWidget *parent = nullptr);
    ~ScrambleWindow() override;

    ScrambleBoard &board() { return board_; }
    // A solve was stored: the next scramble is asked for once the windows
    // have painted, so the solve's own label is never kept waiting.
    void solveStored();
    // Writes the window's place and whether it is shown, once it has been.
    void rememberPlace() const;
    // Whether the settings ask for the window at start-up.
    bool shownLastTime() const;

signals:
    void visibilityChanged(bool visible);

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void render();
    ScrambleSource &source();

    Settings &settings_;
    std::unique_ptr<ScrambleSource> source_;  // made when first needed
    ScrambleBoard board_;
    QLabel *lblScramble_ = nullptr;
    PuzzlePicture *picNet_ = nullptr;
    QLabel *lblPrevious_ = nullptr;
    WindowPlace place_{{Setting::ScrambleLeft, Setting::ScrambleTop, Setting::ScrambleWidth,
                        Setting::ScrambleHeight},
                       2400,
                       2400,
                       Procedure::ScrambleLoad};
    bool everShown_ = false;
    std::optional<Scramble> delivered_;  // made, not yet shown
};

}  // namespace spinlog
