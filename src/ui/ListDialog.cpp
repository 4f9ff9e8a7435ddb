#include "ui/ListDialog.h"

#include "ui/DialogStyle.h"
#include "ui/LauncherStyle.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace launcher {
namespace {

QWidget* itemWidget(const ListPanel::Item& item)
{
    auto* title = new QLabel(item.title);
    title->setTextFormat(Qt::PlainText);
    title->setFont(style::systemFont(13, QFont::DemiBold));
    auto* detail = new QLabel(item.detail);
    detail->setTextFormat(Qt::PlainText);
    detail->setFont(style::systemFont(11));
    detail->setObjectName("listItemDetail");

    auto* widget = new QWidget;
    auto* lines = new QVBoxLayout(widget);
    lines->setContentsMargins(10, 7, 10, 7);
    lines->setSpacing(3);
    lines->addWidget(title);
    lines->addWidget(detail);
    return widget;
}

} // namespace

ListDialog::ListDialog(const ListPanel& panel, QWidget* parent)
    : QDialog(parent)
    , m_list(new QListWidget)
{
    setWindowTitle(panel.title);
    styleDialog(*this);

    auto* message = new QLabel(panel.message);
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);

    m_list->setObjectName("listPanelItems");
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumSize(440, 240);
    for (const ListPanel::Item& entry : panel.items) {
        auto* item = new QListWidgetItem(m_list);
        QWidget* widget = itemWidget(entry);
        item->setSizeHint(widget->sizeHint());
        // What a screen reader reads, since the item's own text is empty.
        item->setData(Qt::AccessibleTextRole, entry.title + ", " + entry.detail);
        m_list->setItemWidget(item, widget);
    }
    m_list->setCurrentRow(0);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* buttons = new QDialogButtonBox;
    QPushButton* choose = buttons->addButton(panel.chooseButton, QDialogButtonBox::AcceptRole);
    choose->setObjectName("chooseButton");
    choose->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(12);
    layout->addWidget(message);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    m_list->setFocus();
}

std::optional<std::size_t> ListDialog::chosen() const
{
    if (result() != QDialog::Accepted || m_list->currentRow() < 0)
        return std::nullopt;
    return static_cast<std::size_t>(m_list->currentRow());
}

} // namespace launcher
