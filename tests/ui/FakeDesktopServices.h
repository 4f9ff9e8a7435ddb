#pragma once

#include "ui/DesktopServices.h"

#include <deque>
#include <functional>
#include <vector>

namespace launcher::testing {

// Answers open panels from a queue (an empty queue cancels) and records every
// panel, opened address, alert and About request instead of showing anything.
// Opening succeeds unless `opens` is false.
class FakeDesktopServices final : public DesktopServices {
public:
    PanelChoice choose(const OpenPanel& panel) override
    {
        panels.push_back(panel);
        if (answers.empty())
            return {};
        const PanelChoice answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool open(const QUrl& url) override
    {
        opened.push_back(url);
        return opens;
    }
    void alert(const Alert& shown, QWidget* window) override
    {
        alerts.push_back(shown);
        shownOver = window;
        if (onAlert)
            onAlert();
    }
    void about(QWidget* window) override
    {
        ++aboutPanels;
        shownOver = window;
    }

    // Queues a confirmed choice of the item.
    void willChoose(const QUrl& url) { answers.push_back({true, url}); }

    std::deque<PanelChoice> answers;
    std::vector<OpenPanel> panels;
    std::vector<QUrl> opened;
    bool opens = true;
    std::vector<Alert> alerts;
    // Runs while the alert would be on screen.
    std::function<void()> onAlert;
    int aboutPanels = 0;
    // The window that the last alert or About panel was to be centred over.
    QWidget* shownOver = nullptr;
};

} // namespace launcher::testing
