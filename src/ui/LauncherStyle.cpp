#include "ui/LauncherStyle.h"

#include <QApplication>
#include <QFontDatabase>

namespace launcher::style {
namespace {

QColor withOpacity(QColor colour, double opacity)
{
    colour.setAlphaF(static_cast<float>(opacity));
    return colour;
}

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kOrange(255, 149, 0);

} // namespace

QString css(const QColor& colour)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alpha());
}

QColor accent()
{
    return QColor::fromRgbF(0.65f, 0.87f, 0.45f);
}

QColor backgroundTop()
{
    return QColor::fromRgbF(0.07f, 0.10f, 0.11f);
}

QColor backgroundBottom()
{
    return QColor::fromRgbF(0.04f, 0.055f, 0.065f);
}

QColor errorText()
{
    return QColor::fromRgbF(1.0f, 0.73f, 0.56f);
}

QColor secondaryText()
{
    return QColor(235, 235, 245, 153);
}

QFont systemFont(int pixels, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixels);
    font.setWeight(weight);
    return font;
}

QFont monospacedFont(int pixels, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixels);
    font.setWeight(weight);
    return font;
}

QPalette darkPalette()
{
    QPalette palette;
    const QColor control(44, 50, 54);
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, backgroundTop());
        palette.setColor(group, QPalette::WindowText, kWhite);
        palette.setColor(group, QPalette::Base, backgroundBottom());
        palette.setColor(group, QPalette::AlternateBase, backgroundTop());
        palette.setColor(group, QPalette::Text, kWhite);
        palette.setColor(group, QPalette::Button, control);
        palette.setColor(group, QPalette::ButtonText, kWhite);
        palette.setColor(group, QPalette::Highlight, accent());
        palette.setColor(group, QPalette::HighlightedText, kBlack);
        palette.setColor(group, QPalette::ToolTipBase, control);
        palette.setColor(group, QPalette::ToolTipText, kWhite);
        palette.setColor(group, QPalette::PlaceholderText, secondaryText());
        palette.setColor(group, QPalette::Link, accent());
    }
    const QColor dimmed = withOpacity(kWhite, 0.35);
    palette.setColor(QPalette::Disabled, QPalette::Window, backgroundTop());
    palette.setColor(QPalette::Disabled, QPalette::Base, backgroundBottom());
    palette.setColor(QPalette::Disabled, QPalette::Button, control);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, dimmed);
    palette.setColor(QPalette::Disabled, QPalette::Text, dimmed);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, dimmed);
    return palette;
}

QString styleSheet()
{
    const QColor prominentDisabled = withOpacity(accent(), 0.35);
    // Rules by object name outrank the first one, which gives every other text its colour.
    return QStringLiteral(R"(
QWidget { color: %1; }
QPushButton { outline: none; }
#betaBadge { color: %2; background: %3; border-radius: 12px; padding: 6px 10px; }
#subheadline, #installedSentence, #gameDetail, #audioDetail, #repairGameDetail, #repairAudioDetail,
#requirementsNote, #repairNote, #damageNote, #statusLabel, #progressText, #footerNote {
    color: %2;
}
#headerLabel, #installedLabel, #gameStep, #audioStep, #repairGameStep, #repairAudioStep { color: %4; }
#gameStep, #audioStep, #repairGameStep, #repairAudioStep { background: %5; border-radius: 10px; }
#installedPanel, #damagePanel { background: %6; border-radius: 14px; }
#gameRow, #audioRow, #repairGameRow, #repairAudioRow { background: %6; border: 1px solid %7; border-radius: 12px; }
#errorBox { background: %8; border-radius: 8px; }
#errorLabel, #damageLabel, #gameProblem, #repairGameProblem { color: %9; }
#errorDetailsLabel { color: %17; }

QPushButton#setupButton, QPushButton#playButton, QPushButton#repairButton {
    background: %4; color: %10; border: none; border-radius: 8px; padding: 8px 18px;
}
QPushButton#setupButton:hover, QPushButton#playButton:hover, QPushButton#repairButton:hover { background: %11; }
QPushButton#setupButton:pressed, QPushButton#playButton:pressed, QPushButton#repairButton:pressed { background: %12; }
QPushButton#setupButton:disabled, QPushButton#playButton:disabled, QPushButton#repairButton:disabled {
    background: %13; color: %14;
}

QPushButton#gameButton, QPushButton#audioButton, QPushButton#repairGameButton, QPushButton#repairAudioButton,
QPushButton#saveFoldersButton, QPushButton#cancelButton {
    background: %15; color: %1; border: 1px solid %7; border-radius: 6px; padding: 4px 12px;
}
QPushButton#gameButton:pressed, QPushButton#audioButton:pressed, QPushButton#repairGameButton:pressed,
QPushButton#repairAudioButton:pressed, QPushButton#saveFoldersButton:pressed, QPushButton#cancelButton:pressed {
    background: %7;
}
QPushButton#gameButton:disabled, QPushButton#audioButton:disabled, QPushButton#repairGameButton:disabled,
QPushButton#repairAudioButton:disabled {
    color: %16;
}

QPushButton#guideLink, QPushButton#downloadLink, QPushButton#logsLink {
    background: transparent; color: %4; border: none; padding: 2px %21px;
}
QPushButton#guideLink:hover, QPushButton#downloadLink:hover, QPushButton#logsLink:hover { text-decoration: underline; }

#contentScroll QScrollBar:vertical { background: transparent; width: %18px; margin: 0px 2px 0px 0px; }
#contentScroll QScrollBar::handle:vertical { background: %19; border-radius: 4px; min-height: 32px; }
#contentScroll QScrollBar::handle:vertical:hover, #contentScroll QScrollBar::handle:vertical:pressed { background: %20; }
#contentScroll QScrollBar::add-line:vertical, #contentScroll QScrollBar::sub-line:vertical { height: 0px; border: none; }
#contentScroll QScrollBar::add-page:vertical, #contentScroll QScrollBar::sub-page:vertical { background: none; }
)")
        .arg(css(kWhite), css(secondaryText()), css(withOpacity(kWhite, 0.06)), css(accent()),
             css(withOpacity(accent(), 0.1)), css(withOpacity(kWhite, 0.045)), css(withOpacity(kWhite, 0.08)),
             css(withOpacity(kOrange, 0.08)), css(errorText()))
        .arg(css(kBlack), css(accent().lighter(110)), css(accent().darker(115)), css(prominentDisabled),
             css(withOpacity(kBlack, 0.55)), css(withOpacity(kWhite, 0.1)), css(withOpacity(kWhite, 0.3)))
        .arg(css(withOpacity(errorText(), 0.75)), QString::number(kScrollBarWidth), css(withOpacity(kWhite, 0.3)),
             css(withOpacity(kWhite, 0.45)), QString::number(kLinkPadding));
}

QString dialogStyleSheet()
{
    // Dimmed less than the window's secondary texts: a list item's detail
    // also stands on the highlight's tint, and keeps 4.5:1 there.
    const QColor dimmed = withOpacity(QColor(235, 235, 245), 0.8);
    return QStringLiteral(R"(
QDialog, QDialog QLabel, QDialog QCheckBox { color: %5; }
#listItemDetail, #dialogNote { color: %4; }
QDialogButtonBox { dialogbuttonbox-buttons-have-icons: 0; }
QDialog QPushButton {
    background: %6; color: %5; border: 1px solid %2; border-radius: 6px; padding: 5px 14px; min-width: 64px;
    outline: none;
}
QDialog QPushButton:pressed { background: %2; }
QDialog QPushButton:default { background: %7; color: %8; border: none; }
QDialog QPushButton:default:pressed { background: %9; }
QDialog QCheckBox { outline: none; }
QListWidget { background: %1; border: 1px solid %2; border-radius: 8px; padding: 4px; outline: none; }
QListWidget::item { border-radius: 6px; }
QListWidget::item:selected { background: %3; }
)")
        .arg(css(withOpacity(kWhite, 0.045)), css(withOpacity(kWhite, 0.08)), css(withOpacity(accent(), 0.25)),
             css(dimmed), css(kWhite), css(withOpacity(kWhite, 0.1)), css(accent()), css(kBlack),
             css(accent().darker(115)));
}

QString menuBarStyleSheet()
{
    return QStringLiteral(R"(
QMenuBar::item { background: transparent; color: %1; padding: 3px 9px; border-radius: 5px; }
QMenuBar::item:selected, QMenuBar::item:pressed { background: %2; color: %3; }
)")
        .arg(css(kWhite), css(accent()), css(kBlack));
}

} // namespace launcher::style
