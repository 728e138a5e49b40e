#include "ErrorReport.h"

#include "Services.h"
#include "TableError.h"

#include <QString>
#include <exception>

namespace platform {

bool reportErrors(Services& services, QWidget* parent, const std::function<void()>& action)
{
    QString text;
    try {
        action();
        return true;
    } catch (const TableError& e) {
        text = e.text();
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    }
    services.message(parent, MsgKind::Error, text, Ok);
    return false;
}

} // namespace platform
