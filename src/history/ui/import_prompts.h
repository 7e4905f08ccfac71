#pragma once
// The import's dialogs, a seam of their own so tests answer them: the file
// to read, the preview (where each session may be sent to another type) and
// the progress that can cancel.

#include "interop/history_importer.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

namespace spinlog {

// Sends a session of the plan where the target says; the plan's figures
// follow.
using ChooseSessionType = std::function<void(int session, const SessionTarget &target)>;

class ImportPrompts {
public:
    virtual ~ImportPrompts() = default;
    virtual std::optional<QString> openFile(QWidget *over) = 0;
    // Shows what the import would do; the user may send sessions to other
    // types through choose. True to import.
    virtual bool preview(QWidget *over, const HistoryImport &plan,
                         const ChooseSessionType &choose) = 0;
    // A progress shown while it lives.
    virtual ImportProgress progress(QWidget *over) = 0;
};

// The desktop's: a file dialog, a preview table, a progress dialog.
std::unique_ptr<ImportPrompts> makeImportDialogs();

// The desktop's preview, built but not shown (preview() shows it modal).
std::unique_ptr<QDialog> makeImportPreview(QWidget *over, const HistoryImport &plan,
                                           const ChooseSessionType &choose);

}  // namespace spinlog
