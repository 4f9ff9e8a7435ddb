#include "ui/DialogStyle.h"

#include "ui/FocusRing.h"
#include "ui/LauncherStyle.h"

#include <QDialog>

namespace launcher {

void styleDialog(QDialog& dialog)
{
    dialog.setPalette(style::darkPalette());
    dialog.setStyleSheet(style::dialogStyleSheet());
    new FocusRing(&dialog);
}

} // namespace launcher
