#include "support/EntryLock.h"

#include "support/TestPlatform.h"

namespace launcher::testing {

EntryLock::EntryLock(std::filesystem::path entry, LockKind kind)
    : m_entry(std::move(entry)), m_held(kind == LockKind::owner ? lockAsOwner(m_entry) : lockAsSuperuser(m_entry))
{
}

EntryLock::~EntryLock()
{
    if (m_held)
        unlock(m_entry);
}

} // namespace launcher::testing
