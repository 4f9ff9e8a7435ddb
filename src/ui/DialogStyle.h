#pragma once

class QDialog;

namespace launcher {

// Gives a dialog the window's look: its dark scheme, texts and buttons
// (style::dialogStyleSheet()) and its focus ring. GUI thread only.
void styleDialog(QDialog& dialog);

} // namespace launcher
