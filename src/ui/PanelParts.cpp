#include "ui/PanelParts.h"

#include "ui/LauncherModel.h"
#include "ui/LauncherStyle.h"
#include "ui/SelectionRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace launcher {

QVBoxLayout* fileChoices(LauncherModel& model, SelectionRow* game, SelectionRow* audio)
{
    QObject::connect(game, &SelectionRow::chooseRequested, &model, &LauncherModel::selectGame);
    QObject::connect(audio, &SelectionRow::chooseRequested, &model, &LauncherModel::selectAudio);
    auto* rows = new QVBoxLayout;
    rows->setSpacing(12);
    rows->addWidget(game);
    rows->addWidget(audio);
    return rows;
}

QHBoxLayout* actionRow(QPushButton* button, QLabel* note)
{
    button->setFont(style::systemFont(14, QFont::DemiBold));
    button->setDefault(true);
    auto* action = new QHBoxLayout;
    action->setSpacing(16);
    action->addWidget(button, 0, Qt::AlignVCenter);
    action->addWidget(note, 0, Qt::AlignVCenter);
    action->addStretch(1);
    return action;
}

} // namespace launcher
