#pragma once
// The parts that the setup panel and the repair panel, which takes its place,
// share, so that both look and behave alike.

class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace launcher {

class LauncherModel;
class SelectionRow;

// The game and audio choices, one above the other, each asking the model for its file.
QVBoxLayout* fileChoices(LauncherModel& model, SelectionRow* game, SelectionRow* audio);

// The panel's prominent button, its note beside it, both at the left.
QHBoxLayout* actionRow(QPushButton* button, QLabel* note);

} // namespace launcher
