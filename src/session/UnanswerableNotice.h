#pragma once

#include "ItemRules.h"

#include <vector>

class QWidget;

namespace platform {
class Services;
}

namespace session {

// Tells, once a user exam has started, which of its items can never be
// answered right; nothing when it did not start or all can be.
void showUnanswerableNotice(QWidget* parent, platform::Services& services, bool started,
                            const std::vector<store::UnanswerableItem>& items);

} // namespace session
