#include "ErrorReport.h"

#include "Services.h"
#include "TableError.h"

#include <QString>
#include <exception>

namespace platform {

bool reportErrors(Services& services, QWidget* parent, const std::function<void()>& action)
{
    QString text;
    QString details;
    try {
        action();
        return true;
    } catch (const TableError& e) {
        text = e.text();
        details = e.details();
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    }
    if (details.isEmpty())
        services.message(parent, MsgKind::Error, text, Ok);
    else
        services.detailedMessage(parent, MsgKind::Error, text, details, Ok);
    return false;
}

} // namespace platform
