#include "app/RepairRefusal.h"

#include "app/FailureMessage.h"

namespace launcher {

RepairRefusal::RepairRefusal(RepairNeed need)
    : SetupFailure(repairRefusalSentence(need, FrontEnd::window))
    , m_need(need)
{
}

} // namespace launcher
