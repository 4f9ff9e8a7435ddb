// The window for the keyboard and assistive technology: where the focus starts
// and goes, its ring, Enter and Space, and a name for every control.

#include "ViewScreen.h"

#include "FakeDesktopServices.h"
#include "HeldWork.h"
#include "UiTestSupport.h"
#include "support/InstallationByHand.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "ui/BusyIndicator.h"
#include "ui/DesktopConventions.h"
#include "ui/FocusRing.h"
#include "ui/InstalledPanel.h"
#include "ui/LauncherStyle.h"
#include "ui/ProgressBar.h"
#include "ui/RepairPanel.h"
#include "ui/SetupPanel.h"

#include <QAccessible>
#include <QApplication>
#include <QtTest>

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace launcher::testing {
namespace {

const QString kDecoderMissing = "The audio decoder is missing.";

// The controls shown in the accessibility tree under `node` that a screen
// reader would announce without a name, by object name: whatever takes the
// focus, each panel, and what shows that work goes on. A progress bar must also be one to
// assistive technology, with its text as its value.
QStringList unnamedControls(QAccessibleInterface* node)
{
    QStringList found;
    if (node == nullptr || node->state().invisible)
        return found;
    const auto* widget = qobject_cast<const QWidget*>(node->object());
    const bool progress = qobject_cast<const ProgressBar*>(widget) != nullptr;
    const bool panel = qobject_cast<const SetupPanel*>(widget) != nullptr ||
                       qobject_cast<const InstalledPanel*>(widget) != nullptr ||
                       qobject_cast<const RepairPanel*>(widget) != nullptr;
    const bool control = widget != nullptr && (widget->focusPolicy() != Qt::NoFocus || progress || panel ||
                                                qobject_cast<const BusyIndicator*>(widget) != nullptr);
    const QString name = widget != nullptr ? widget->objectName() : QString("?");
    if (control && node->text(QAccessible::Name).trimmed().isEmpty())
        found << name;
    if (progress && (node->role() != QAccessible::ProgressBar || node->valueInterface() == nullptr ||
                     node->text(QAccessible::Value) != static_cast<const ProgressBar*>(widget)->text()))
        found << name + " (not a progress bar with its text as value)";
    for (int index = 0; index < node->childCount(); ++index)
        found << unnamedControls(node->child(index));
    return found;
}

} // namespace

class LauncherViewKeyboardTest final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { LauncherModel::waitForBackgroundWork(); }

    void focusStartsAtTheFirstControlAndTabsTopToBottom_data();
    void focusStartsAtTheFirstControlAndTabsTopToBottom();
    void theFocusedControlIsRingedInTheAccentColour_data();
    void theFocusedControlIsRingedInTheAccentColour();
    void enterAndSpacePressTheFocusedControl_data();
    void enterAndSpacePressTheFocusedControl();
    void everyControlShownHasAnAccessibleName_data();
    void everyControlShownHasAnAccessibleName();
};

void LauncherViewKeyboardTest::focusStartsAtTheFirstControlAndTabsTopToBottom_data()
{
    QTest::addColumn<QString>("installation");
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<QStringList>("order");
    const QStringList footer{"guideLink", "downloadLink", "logsLink"};
    QTest::newRow("nothing chosen") << "none" << false
                                    << QStringList{"gameButton", "audioButton", "consentCheckBox"} + footer;
    QTest::newRow("ready to set up") << "none" << true
                                     << QStringList{"gameButton", "audioButton", "consentCheckBox", "setupButton"} +
                                            footer;
    QTest::newRow("installed") << "complete" << false << QStringList{"playButton", "saveFoldersButton"} + footer;
    QTest::newRow("damaged") << "damaged" << false << QStringList{"repairButton"} + footer;
    QTest::newRow("damaged, game files needed")
        << "game damaged" << false << QStringList{"repairGameButton"} + footer;
}

void LauncherViewKeyboardTest::focusStartsAtTheFirstControlAndTabsTopToBottom()
{
    QFETCH(QString, installation);
    QFETCH(bool, chosen);
    QFETCH(QStringList, order);
    const TemporaryFolder root;
    if (installation == "complete")
        buildInstallationByHand(root.path());
    Screen screen(root.path());
    // What the check of a damaged installation finds; the panel's controls follow from it alone.
    if (installation.contains("damaged"))
        screen.model.showInstallation(InstallationState::needsRepair,
                                      {.damage = {kDecoderMissing}, .needsGame = installation == "game damaged"});
    if (chosen)
        screen.chooseEverything();
    QStringList visited;
    for (qsizetype step = 0; step <= order.size(); ++step) {
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused != nullptr);
        visited << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    // Round the window and back to the start.
    QCOMPARE(visited, order + QStringList{order.first()});
}

namespace {

// WCAG's contrast ratio of two opaque colours.
double contrast(const QColor& one, const QColor& other)
{
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](float c) { return c <= 0.04045f ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
    };
    const double a = luminance(one);
    const double b = luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

bool isAccent(const QColor& colour)
{
    const QColor accent = style::accent();
    return std::abs(colour.red() - accent.red()) <= 12 && std::abs(colour.green() - accent.green()) <= 12 &&
           std::abs(colour.blue() - accent.blue()) <= 12;
}

} // namespace
void LauncherViewKeyboardTest::theFocusedControlIsRingedInTheAccentColour_data()
{
    QTest::addColumn<QString>("control");
    for (const char* control : {"gameButton", "audioButton", "consentCheckBox", "setupButton", "playButton",
                                "saveFoldersButton", "guideLink", "downloadLink", "logsLink"})
        QTest::newRow(control) << QString(control);
}

void LauncherViewKeyboardTest::theFocusedControlIsRingedInTheAccentColour()
{
    QFETCH(QString, control);
    const TemporaryFolder root;
    if (control == "playButton" || control == "saveFoldersButton")
        buildInstallationByHand(root.path());
    Screen screen(root.path());
    screen.chooseEverything();
    QWidget& widget = screen.find(qPrintable(control));
    const QRect area(widget.mapTo(&screen.view, QPoint(0, 0)), widget.size());
    // The middle of each side of the ring, and just outside it.
    const auto sides = [&](int outset) {
        const QPoint centre = area.center();
        return std::array{QPoint(centre.x(), area.top() - outset), QPoint(centre.x(), area.bottom() + outset),
                          QPoint(area.left() - outset, centre.y()), QPoint(area.right() + outset, centre.y())};
    };
    const int onRing = FocusRing::kOutset - 1;

    screen.find(control == "guideLink" ? "logsLink" : "guideLink").setFocus();
    QImage picture = screen.view.grab().toImage();
    for (const QPoint& point : sides(onRing))
        QVERIFY2(!isAccent(picture.pixelColor(point)), "no ring without the focus");

    widget.setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), &widget);
    picture = screen.view.grab().toImage();
    const auto ring = sides(onRing);
    const auto outside = sides(FocusRing::kOutset + 1);
    for (std::size_t side = 0; side < ring.size(); ++side) {
        const QColor colour = picture.pixelColor(ring[side]);
        QVERIFY2(isAccent(colour), qPrintable(QString("side %1 is %2").arg(side).arg(colour.name())));
        QVERIFY(contrast(colour, picture.pixelColor(outside[side])) >= 3);
    }
}

void LauncherViewKeyboardTest::enterAndSpacePressTheFocusedControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    std::vector<std::pair<const char*, Qt::Key>> keys{{"Space", Qt::Key_Space}};
    if (desktop::kEnterPressesFocusedControl)
        keys.insert(keys.end(), {{"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}});
    for (const char* control : {"gameButton", "audioButton", "consentCheckBox", "setupButton", "playButton",
                                "saveFoldersButton", "guideLink", "downloadLink", "logsLink"})
        for (const auto& [name, key] : keys)
            QTest::newRow((QByteArray(control) + ", " + name).constData()) << QString(control) << static_cast<int>(key);
}

void LauncherViewKeyboardTest::enterAndSpacePressTheFocusedControl()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    const TemporaryFolder root;
    writeFile(root / "Setup Guide.html", "<!doctype html>");
    if (control == "playButton" || control == "saveFoldersButton")
        buildInstallationByHand(root.path());
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path(), root / "Setup Guide.html");
    held.holdSetup(settings);
    Screen screen(std::move(settings));
    screen.chooseEverything();
    QWidget& widget = screen.find(qPrintable(control));
    widget.setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), &widget);

    // Whatever the control does is one of these.
    QSignalSpy consent(&screen.model, &LauncherModel::ownsFilesChanged);
    QSignalSpy setup(&screen.model, &LauncherModel::busyChanged);
    QSignalSpy game(&screen.model, &LauncherModel::playingChanged);
    held.startGame([&] { QTest::keyClick(&widget, static_cast<Qt::Key>(key)); });
    const auto done = screen.services.panels.size() + screen.services.opened.size() + consent.count() +
                      setup.count() + game.count();
    QCOMPARE(done, 1u);
}

void LauncherViewKeyboardTest::everyControlShownHasAnAccessibleName_data()
{
    QTest::addColumn<QString>("state");
    for (const char* state : {"first start", "files chosen", "game files refused", "error", "setting up", "installed",
                              "needs repair"})
        QTest::newRow(state) << state;
}

void LauncherViewKeyboardTest::everyControlShownHasAnAccessibleName()
{
    QFETCH(QString, state);
    const TemporaryFolder root;
    if (state == "installed")
        buildInstallationByHand(root.path());
    if (state == "needs repair") {
        setUpInstallation(root.path());
        damageInstallation(root.path(), true);
    }
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path());
    held.holdSetup(settings);
    Screen screen(std::move(settings));
    screen.waitForCheck();
    if (state == "files chosen" || state == "setting up")
        screen.chooseEverything();
    if (state == "game files refused")
        screen.chooseEverything(fixture("game/no-game.zip"));
    if (state == "setting up") {
        screen.click("setupButton");
        QVERIFY(screen.model.busy());
    }
    if (state == "error") {
        screen.model.play();
        QTRY_VERIFY_WITH_TIMEOUT(screen.shown("errorBox"), 30'000);
    }

    const QStringList unnamed = unnamedControls(QAccessible::queryAccessibleInterface(&screen.view));
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    // The error box reads as its message, which its alert announces.
    if (state == "error")
        QCOMPARE(QAccessible::queryAccessibleInterface(&screen.find("errorBox"))->text(QAccessible::Name),
                 screen.text("errorLabel"));
}

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::LauncherViewKeyboardTest)
#include "LauncherViewKeyboardTest.moc"
