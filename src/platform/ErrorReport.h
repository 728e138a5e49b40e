#pragma once

#include <functional>

class QWidget;

namespace platform {

class Services;

// The program's general error report: an error raised inside a user action
// ends that action and is shown once, in an error message box with its text;
// the engine's own account of a table error, where it has one, is behind
// the box's "Show Details".
// Returns false when the action failed.
bool reportErrors(Services& services, QWidget* parent, const std::function<void()>& action);

} // namespace platform
