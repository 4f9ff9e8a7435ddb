#include "saves/LaunchSnapshot.h"

#include "saves/RestoreRecovery.h"
#include "saves/SaveSnapshots.h"

#include <exception>

namespace launcher {
namespace {

constexpr const char* kNoteStart = "[Veyra 2 Mac Launcher] ";

// The launcher's own failures are whole sentences; the note goes on after them.
std::string withoutFullStop(std::string sentence)
{
    if (sentence.ends_with('.'))
        sentence.pop_back();
    return sentence;
}

std::string listed(const std::vector<std::filesystem::path>& folders)
{
    std::string text;
    for (const std::filesystem::path& folder : folders)
        text += (text.empty() ? "" : ", ") + folder.string();
    return text;
}

} // namespace

LaunchSnapshot::LaunchSnapshot(const Installation& installation) : m_layout(installation.layout())
{
    try {
        recoverSaves(m_layout, installation.host());
        const std::optional<TakenSnapshot> taken = SaveSnapshots(m_layout).take();
        if (!taken)
            return;
        m_taken = taken->name;
        m_unreadable = taken->unreadable;
        m_leftOut = taken->leftOut;
        if (!m_unreadable.empty())
            m_failure = "it left out what could not be read: " + listed(m_unreadable);
    } catch (const std::exception& failure) {
        m_failure = failure.what();
    }
}

std::string LaunchSnapshot::notes() const
{
    std::string notes;
    if (!m_unreadable.empty())
        notes += std::string(kNoteStart) + "The snapshot of your saves before this start, " + m_taken.value_or("") +
                 ", left out what could not be read: " + listed(m_unreadable) +
                 ". Check that you may read it; everything else is in the snapshot.\n";
    else if (m_failure)
        notes += std::string(kNoteStart) + "The snapshot of your saves before this start failed: " +
                 withoutFullStop(*m_failure) + ". The game starts anyway; earlier snapshots are unchanged.\n";
    for (const std::string& leftOut : m_leftOut)
        notes += kNoteStart + leftOut + "\n";
    return notes;
}

void LaunchSnapshot::rotateOut() const noexcept
{
    if (!m_taken)
        return;
    try {
        SaveSnapshots(m_layout).rotate(*m_taken);
    } catch (...) {
        // Clean-up only: the game runs, and the next launch rotates again.
    }
}

} // namespace launcher
