#pragma once

#include <QPointer>
#include <memory>

namespace forms {

// The modal result a dialog gives itself to end its loop; nobody reads it.
inline constexpr int kModalDone = 1000;

// Shows the dialog modally; it ends itself with done(kModalDone) from one of
// its handlers. The dialog is destroyed here, once its loop has ended.
template <class Dialog>
void RunModal(std::unique_ptr<Dialog> dialog)
{
    QPointer<Dialog> alive(dialog.get());
    dialog->exec();
    if (!alive)
        (void)dialog.release();   // already deleted: marked delete-on-close, or by its parent
}

} // namespace forms
