#pragma once
// The import's dialogs, a seam of their own so tests answer them: the file
// to read, the preview (where each session may be sent to another type) and
// the progress that can cancel.

#include "interop/history_import.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

namespace spinlog {

// Called as the series go in; false once the user has cancelled.
using ImportProgress = std::function<bool(int done, int total)>;

class ImportPrompts {
public:
    virtual ~ImportPrompts() = default;
    virtual std::optional<QString> openFile(QWidget *over) = 0;
    // Shows what the import would do; the user may change the sessions'
    // types (import.choose, then import.countDuplicates). True to import.
    virtual bool preview(QWidget *over, HistoryImport &import, const HistoryStore &history) = 0;
    // A progress shown while it lives.
    virtual ImportProgress progress(QWidget *over) = 0;
};

// The desktop's: a file dialog, a preview table, a progress dialog.
std::unique_ptr<ImportPrompts> makeImportDialogs();

// The desktop's preview, built but not shown (preview() shows it modal).
std::unique_ptr<QDialog> makeImportPreview(QWidget *over, HistoryImport &import,
                                           const HistoryStore &history);

}  // namespace spinlog
