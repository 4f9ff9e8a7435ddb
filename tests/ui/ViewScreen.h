#pragma once
// The window's view and its model for one root folder, shown at the window's
// content size, with the ways the view's tests find, read and press its
// controls.

#include "FakeDesktopServices.h"
#include "UiTestSupport.h"
#include "ui/LauncherModel.h"
#include "ui/LauncherView.h"
#include "ui/WrappingLabel.h"

#include <QAbstractButton>
#include <QLabel>
#include <QtTest>

#include <filesystem>
#include <optional>
#include <utility>

namespace launcher::testing {

struct Screen {
    explicit Screen(const std::filesystem::path& root, std::optional<std::filesystem::path> guide = std::nullopt)
        : Screen(settingsFor(root, guide.value_or("/nonexistent")))
    {
    }
    explicit Screen(LauncherSettings settings)
        : model(services, std::move(settings))
        , view(model)
    {
        view.resize(760, 650);
        view.show();
        view.activateWindow();
        if (!QTest::qWaitForWindowActive(&view))
            qFatal("The launcher view was not shown");
    }

    template <typename Widget = QWidget>
    Widget& find(const char* name)
    {
        auto* widget = view.findChild<Widget*>(name);
        if (widget == nullptr)
            qFatal("No widget named %s", name);
        return *widget;
    }
    QString text(const char* name)
    {
        if (auto* label = view.findChild<QLabel*>(name))
            return label->text();
        if (auto* wrapping = view.findChild<WrappingLabel*>(name))
            return wrapping->text();
        return find<QAbstractButton>(name).text();
    }
    bool shown(const char* name) { return find(name).isVisible(); }
    bool enabled(const char* name) { return find(name).isEnabled(); }
    // Both files (by default ones that setup takes) and the consent, once the
    // game files' check has ended.
    void chooseEverything(const std::filesystem::path& game = setupGameSource(),
                          const std::filesystem::path& audio = setupAudioPackage())
    {
        chooseSetupFiles(model, game, audio);
    }
    // Starts a setup and waits until it has failed, as it does at once in a root that cannot be.
    void failSetup()
    {
        chooseEverything();
        model.install();
        QTRY_VERIFY_WITH_TIMEOUT(!model.busy(), 60'000);
    }
    void click(const char* name) { QTest::mouseClick(&find(name), Qt::LeftButton); }
    void waitForCheck() { QTRY_VERIFY_WITH_TIMEOUT(!model.state().checking(), 60'000); }
    // The damage the repair panel lists, top to bottom.
    QStringList damage()
    {
        QStringList lines;
        for (const WrappingLabel* line : find("damagePanel").findChildren<WrappingLabel*>("damageLine"))
            lines << line->text();
        return lines;
    }

    FakeDesktopServices services;
    LauncherModel model;
    LauncherView view;
};

} // namespace launcher::testing
