#pragma once
// The launcher screen's colours, fonts and style sheet, in one place.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

namespace launcher::style {

// The space between the parts of the screen, and between controls in a row.
constexpr int kSectionSpacing = 20;
constexpr int kDefaultSpacing = 8;
// The scroll bar of the window's content, which stands in the content's right margin.
constexpr int kScrollBarWidth = 10;
// The room at either side of a link's text, which keeps its focus ring off the letters.
constexpr int kLinkPadding = 2;

QColor accent();
QColor backgroundTop();
QColor backgroundBottom();
QColor errorText();
// The dimmed foreground of secondary texts on the dark background.
QColor secondaryText();

// The colour as a style sheet writes it.
QString css(const QColor& colour);

// The system font at a size in device-independent pixels, which match the
// points of the macOS layout on every platform.
QFont systemFont(int pixels, QFont::Weight weight = QFont::Normal);
QFont monospacedFont(int pixels, QFont::Weight weight);

// The dark colour scheme of the launcher's window and everything in it.
QPalette darkPalette();

// Fills, outlines and button styles of the whole screen, addressed by object name.
QString styleSheet();
// A dialog in the window's look: every text white on the dark background
// (named "listItemDetail" and "dialogNote", dimmed), buttons as the window's,
// the default one filled with the accent, no icons on them and no focus rectangle of
// the style's own, since the window's ring marks the focus. Lists are filled
// and outlined as the screen's selection rows; their highlight is a tint of
// the accent, so that white and dimmed texts stay readable on it.
QString dialogStyleSheet();
// The menu bar inside the window (all but macOS): the item it highlights, on
// hover or in its keyboard state after Alt, filled with the accent like a
// focused control's ring, so that the focus there is never unseen.
QString menuBarStyleSheet();

} // namespace launcher::style
