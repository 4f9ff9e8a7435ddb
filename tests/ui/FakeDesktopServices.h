#pragma once

#include "ui/DesktopServices.h"

#include <deque>
#include <functional>
#include <vector>

namespace launcher::testing {

// Answers panels, lists and confirmations from queues of their own (an empty
// queue cancels) and records every panel, list, question, opened address, alert
// and About request instead of showing anything. Opening succeeds unless
// `opens` is false.
class FakeDesktopServices final : public DesktopServices {
public:
    PanelChoice choose(const OpenPanel& panel) override
    {
        panels.push_back(panel);
        return next(answers);
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
    std::optional<std::size_t> chooseFromList(const ListPanel& panel, QWidget* window) override
    {
        lists.push_back(panel);
        shownOver = window;
        return next(listAnswers);
    }
    ConfirmationAnswer confirm(const Confirmation& confirmation, QWidget* window) override
    {
        confirmations.push_back(confirmation);
        shownOver = window;
        return next(confirmationAnswers);
    }
    PanelChoice chooseNewFile(const SavePanel& panel, QWidget* window) override
    {
        savePanels.push_back(panel);
        shownOver = window;
        return next(newFileAnswers);
    }

    // Queues a confirmed choice of the item.
    void willChoose(const QUrl& url) { answers.push_back({true, url}); }
    void willChooseFromList(std::size_t item) { listAnswers.push_back(item); }
    // Queues a confirmation, with the option ticked or not.
    void willConfirm(bool option = false) { confirmationAnswers.push_back({true, option}); }
    void willChooseNewFile(const QUrl& url) { newFileAnswers.push_back({true, url}); }

    std::deque<PanelChoice> answers;
    std::vector<OpenPanel> panels;
    std::deque<std::optional<std::size_t>> listAnswers;
    std::vector<ListPanel> lists;
    std::deque<ConfirmationAnswer> confirmationAnswers;
    std::vector<Confirmation> confirmations;
    std::deque<PanelChoice> newFileAnswers;
    std::vector<SavePanel> savePanels;
    std::vector<QUrl> opened;
    bool opens = true;
    std::vector<Alert> alerts;
    // Runs while the alert would be on screen.
    std::function<void()> onAlert;
    int aboutPanels = 0;
    // The window that the last dialog was to be centred over.
    QWidget* shownOver = nullptr;

private:
    // The queue's first answer, or a cancel when it is empty.
    template <typename Answer>
    static Answer next(std::deque<Answer>& queue)
    {
        if (queue.empty())
            return {};
        Answer answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

} // namespace launcher::testing
