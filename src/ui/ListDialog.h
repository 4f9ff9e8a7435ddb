#pragma once

#include "ui/DesktopServices.h"

#include <QDialog>

#include <cstddef>
#include <optional>

class QListWidget;

namespace launcher {

// The dialog behind DesktopServices::chooseFromList: the panel's message above
// its items, each a title over a dimmed detail line, in the launcher's dark
// scheme. The first item is highlighted; a double click chooses an item as the
// choose button does.
class ListDialog final : public QDialog {
    Q_OBJECT

public:
    ListDialog(const ListPanel& panel, QWidget* parent);

    // The highlighted item once the dialog was accepted; nullopt otherwise.
    std::optional<std::size_t> chosen() const;

private:
    QListWidget* m_list;
};

} // namespace launcher
